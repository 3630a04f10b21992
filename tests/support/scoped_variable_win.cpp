#include <windows.h>

#include "base/string.h"
#include "scoped_variable.h"

namespace {

std::wstring Wide(const std::string& text) {
    std::u16string wide(BaseString::FromUtf8(text).view());
    return std::wstring(wide.begin(), wide.end());
}

// The C runtime's copy of the environment, which getenv reads, and the
// process's, which GetEnvironmentVariableW reads (the wide call sets both
// without passing the text through the ANSI code page).
void Put(const std::string& name, const std::optional<std::string>& value) {
    _wputenv_s(Wide(name).c_str(), value ? Wide(*value).c_str() : L"");
    ::SetEnvironmentVariableW(Wide(name).c_str(), value ? Wide(*value).c_str() : nullptr);
}

}  // namespace

ScopedVariable::ScopedVariable(const std::string& name, const std::optional<std::string>& value)
    : name_(name) {
    std::wstring key = Wide(name);
    DWORD size = ::GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (size > 0) {
        std::wstring previous(size, L'\0');
        previous.resize(::GetEnvironmentVariableW(key.c_str(), previous.data(), size));
        previous_ =
            BaseString(std::u16string_view(reinterpret_cast<const char16_t*>(previous.data()),
                                           previous.size()))
                .ToUtf8();
    }
    Put(name_, value);
}

ScopedVariable::~ScopedVariable() {
    Put(name_, previous_);
}
