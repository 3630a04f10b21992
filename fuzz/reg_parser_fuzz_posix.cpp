// The .reg parser of the POSIX hive store: any bytes either fail to parse or
// give a hive that writes back to text parsing to the very same hive.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "properties/hive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (Registry::Hive hive : {Registry::Hive::kMachine, Registry::Hive::kUser}) {
        Registry::HiveKey root;
        if (!Registry::ParseHive(bytes, hive, &root)) {
            continue;
        }
        std::string written = Registry::WriteHive(root, hive);
        Registry::HiveKey again;
        if (!Registry::ParseHive(written, hive, &again) ||
            Registry::WriteHive(again, hive) != written) {
            std::abort();
        }
    }
    return 0;
}
