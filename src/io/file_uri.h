#pragma once

#include <string_view>

#include "base/string.h"
#include "io/uri.h"

namespace Io {

// The components of the "file" URI of a path text: 0 "file", and 5 the text
// with each "\" turned into "/" and each ":" into "|".
UriComponents FileUriComponents(std::u16string_view path_text);

// The path name a "file" URI stands for, not yet normalised: "\\", the host and
// "\" when a host (component 3) is given, then the path (component 5) with each
// "|" turned into ":" and each "/" into "\".
BaseString PathNameOfFileUri(const UriComponents& components);

}  // namespace Io
