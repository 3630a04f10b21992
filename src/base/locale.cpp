#include "base/locale.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace Base {

namespace {
std::mutex g_installed_mutex;
std::vector<uint32_t> g_installed_override;
}  // namespace

bool IsInstalledLocale(uint32_t language) {
    {
        std::lock_guard lock(g_installed_mutex);
        if (!g_installed_override.empty()) {
            return std::find(g_installed_override.begin(), g_installed_override.end(), language) !=
                   g_installed_override.end();
        }
    }
    return Platform::IsInstalledLocale(language);
}

void SetInstalledLocalesForTesting(std::initializer_list<uint32_t> languages) {
    std::lock_guard lock(g_installed_mutex);
    g_installed_override.assign(languages);
}

}  // namespace Base
