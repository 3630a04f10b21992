#pragma once

#include <cstdint>

// A built-in message: rows of (language identifier, text) closed by a row
// without text. The first row (English) answers every language without a row.
struct MessageRow {
    uint32_t language;
    const char16_t* text;
};

// The text of the table for the current language: the exact 16-bit match, else
// the first row. Looked up at every use; the caller's last error is kept.
const char16_t* LocalizedText(const MessageRow* table);

// The current language for localized texts: the installed hook, else the
// user's default language of the platform.
uint32_t CurrentLanguageId();

using LanguageHook = uint32_t (*)();
// Installs the hook and returns the one it replaces.
LanguageHook InstallLanguageHook(LanguageHook hook);

// The runtime's own messages: a row for every language of languages.def marked
// for the runtime, in its order (tests/error/messages_test.cpp checks them).
extern const MessageRow BadFormatText[];
extern const MessageRow InternalErrorText[];
