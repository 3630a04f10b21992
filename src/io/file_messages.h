#pragma once

#include "error/messages.h"

namespace Io {

// The messages of failed file-system calls; %1 is the path. A row for every
// language of error/languages.def marked for the runtime, in its order
// (tests/error/messages_test.cpp checks them).
extern const MessageRow CannotOpenFileText[];      // "Cannot open file '%1'."
extern const MessageRow CannotCreateFileText[];    // "Cannot create file '%1'."
extern const MessageRow ReadFileFailedText[];      // "Failed to read file '%1'."
extern const MessageRow WriteFileFailedText[];     // "Failed to write file '%1'."
extern const MessageRow DeleteFileFailedText[];    // "Failed to delete file '%1'."
extern const MessageRow RemoveFolderFailedText[];  // "Failed to remove folder '%1'."
extern const MessageRow CannotCreateFolderText[];  // "Cannot create folder '%1'."
extern const MessageRow CannotAccessFolderText[];  // "Cannot access folder '%1'."

}  // namespace Io
