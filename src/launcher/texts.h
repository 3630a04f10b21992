#pragma once

#include "error/messages.h"

// The launcher's built-in texts (LocalizedText): a row for every language of
// error/languages.def, in its order. A new table goes into the list of
// tests/error/messages_test.cpp too, which checks its rows.
extern const MessageRow InstanceTitleText[];
extern const MessageRow DialogTitleText[];
extern const MessageRow BrowserWidthText[];
extern const MessageRow BrowserHeightText[];
extern const MessageRow InitFailedText[];
extern const MessageRow TemplateSyntaxText[];
extern const MessageRow DataFormatText[];
extern const MessageRow LanguageFormatText[];
// The start-up failure's reason on a machine without the web engine (Linux).
extern const MessageRow WebEngineMissingText[];
// The same where the engine is older than the oldest the window code calls:
// %1 the version found, %2 the one needed.
extern const MessageRow WebEngineTooOldText[];
