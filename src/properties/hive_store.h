#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "properties/hive.h"

// The registry of a POSIX system: one .reg file per hive. The machine hive is
// /etc/orvella/machine.reg, the user hive $XDG_CONFIG_HOME/orvella/user.reg
// (~/.config when XDG_CONFIG_HOME is not set); ORVELLA_REGISTRY_DIR, when set,
// holds both instead (machine.reg and user.reg), for tests and portable media.
//
// Readers never see half a file: a change is written to a temporary file,
// flushed and renamed over the hive, under an exclusive lock that serialises
// the writers of all processes, each of which reads the hive afresh under the
// lock. A hive file that does not parse is reported (ERROR_BADDB) and never
// overwritten. Results are Win32 error codes.
namespace Registry {

inline constexpr uint32_t kErrorBadDatabase = 1009;

std::string HiveFilePath(Hive hive);

// The hive as its file holds it now; an empty hive when there is no file.
uint32_t LoadHive(Hive hive, std::shared_ptr<const HiveKey>* root);

// Changes the hive under its lock: `change` works on a fresh copy, sets
// `changed` when it changed something (the hive is then written back), and its
// result is the result of the update.
using HiveChange = std::function<uint32_t(HiveKey& root, bool& changed)>;
uint32_t UpdateHive(Hive hive, const HiveChange& change);

}  // namespace Registry
