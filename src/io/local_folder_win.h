#pragma once

#include <string_view>

namespace Io::FileSystem {

// Whether a full path lies on a drive of this machine (a fixed, removable or
// optical disc, or a RAM disk), told without asking the drive: not a network
// path, nor a drive the network serves or that is not there, nor a path
// relative to the current folder.
bool IsLocalFolder(std::u16string_view folder);

}  // namespace Io::FileSystem
