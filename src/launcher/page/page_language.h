#pragma once

#include <cstdint>

// The language the page starts in: the identifier of the thread's current
// language (module start made it current). "bad val type %d" when the language
// gives no integer.
uint32_t CurrentPageLanguage();

// Makes current the language the registry value LangId would choose if it held
// `language`. For the page tool.
void MakeLanguageCurrentAsLangId(uint32_t language);
