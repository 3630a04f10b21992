#pragma once

#include "base/win.h"

#include <objidl.h>
#include <wrl/client.h>

#include <string_view>
#include <vector>

#include "base/string.h"

// The page goes to the browser through memory, never through a file: a stream
// of UTF-16 little-endian text with a byte-order mark, read by the control's
// document in place of the placeholder page it has loaded.

// A memory stream holding FF FE, the page and a terminating NUL; it frees its
// memory when released. Fails with the internal errors "ga-nomem" and
// "crstm-on-hgl(%08x)".
Microsoft::WRL::ComPtr<IStream> MakePageStream(std::u16string_view page);

// Has the document reload itself from the stream (IPersistStreamInit InitNew,
// then Load). The document's answers are not examined: a document that cannot
// take a stream keeps what it shows. Nothing happens without a document.
void LoadDocument(IDispatch* document, IStream* stream);

// The "file" URLs of the medium's folders: the current directory, where the
// launcher reads its page, then the launcher's own folder, where its links
// start files (one folder when a medium's launcher runs).
std::vector<BaseString> MediumFolderUrls();

// The page as the control is handed it: with the declarations of its head
// (WithHeadDeclarations), the current directory's URL for its base.
BaseString PageForTheControl(std::u16string_view page);
