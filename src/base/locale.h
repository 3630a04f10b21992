#pragma once

#include <cstdint>
#include <initializer_list>

// The platform's language facts, as 16-bit language identifiers (LANGID).
namespace Base {

// GetUserDefaultLangID / GetUserDefaultUILanguage. On POSIX both come from the
// first non-empty of LC_ALL, LC_MESSAGES and LANG ("ll_CC[.enc][@mod]");
// "C", "POSIX" and unknown names give 0x0409.
uint32_t UserDefaultLangId();
uint32_t UserDefaultUILanguage();

// IsValidLocale(LCID_INSTALLED). On POSIX: the identifier is one the locale
// table knows, unless a test has replaced the installed set.
bool IsInstalledLocale(uint32_t language);

// Tests only: replaces the set of installed locales (an empty list restores the
// platform's own answer).
void SetInstalledLocalesForTesting(std::initializer_list<uint32_t> languages);

namespace Platform {
// The platform's own answer to IsInstalledLocale.
bool IsInstalledLocale(uint32_t language);
}  // namespace Platform

}  // namespace Base
