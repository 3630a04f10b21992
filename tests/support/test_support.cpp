#include "test_support.h"

#include <atomic>

namespace {
std::atomic<uint32_t> g_language{0};
uint32_t FixedLanguage() {
    return g_language.load();
}
}  // namespace

ScopedLanguage::ScopedLanguage(uint32_t language) : previous_language_(g_language.load()) {
    g_language.store(language);
    previous_ = InstallLanguageHook(FixedLanguage);
}

ScopedLanguage::~ScopedLanguage() {
    g_language.store(previous_language_);
    InstallLanguageHook(previous_);
}

std::string Utf8(const BaseString& text) {
    return text.ToUtf8();
}

void PrintTo(const BaseString& text, std::ostream* out) {
    *out << '"' << text.ToUtf8() << '"';
}

Error ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error;
    }
    return Error();
}
