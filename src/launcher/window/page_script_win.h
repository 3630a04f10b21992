#pragma once

#include "base/win.h"

#include <oaidl.h>
#include <wrl/client.h>

#include <string_view>

// Calls into the script of the page the web-browser control shows.

// The script's global object of a document: its window (IHTMLDocument2
// parentWindow). Null when the document has none.
Microsoft::WRL::ComPtr<IDispatch> ScriptGlobal(IDispatch* document);

// Calls the global function `name` of a script with a string and a boolean
// argument, as the page's script would call it. A script without the function,
// or a function that fails, is left as it is: false, nothing else.
bool CallScriptFunction(IDispatch* global, std::u16string_view name, std::u16string_view text,
                        bool flag);
