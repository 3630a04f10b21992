#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "base/string.h"
#include "error/error.h"
#include "error/messages.h"

// Makes every localized text of this process use one language while it lives.
class ScopedLanguage {
public:
    explicit ScopedLanguage(uint32_t language);
    ~ScopedLanguage();
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    LanguageHook previous_;
    uint32_t previous_language_;
};

// UTF-8 of wide text, for readable assertion messages.
std::string Utf8(const BaseString& text);

// Lets GoogleTest print wide text as text.
void PrintTo(const BaseString& text, std::ostream* out);

// The Error the action throws; the empty Error when it throws none.
Error ErrorOf(const std::function<void()>& action);
