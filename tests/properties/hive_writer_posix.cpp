// Writes into the user hive of the registry folder ORVELLA_REGISTRY_DIR names,
// for the tests of the hive store:
//   hive_writer values <prefix> <count>  the numbers <prefix>0.. = 0.., one write each
//   hive_writer blobs                    rewrites "Blob" with new contents until killed
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "properties/persistent_properties.h"

int main(int argc, char** argv) {
    PersistentProperties stress(u"Stress", PropertyScope::kUser);
    try {
        if (argc == 4 && std::strcmp(argv[1], "values") == 0) {
            int count = std::atoi(argv[3]);
            for (int i = 0; i < count; ++i) {
                stress.SetDword(BaseString::FromUtf8(argv[2] + std::to_string(i)),
                                static_cast<uint32_t>(i));
            }
            return 0;
        }
        if (argc == 2 && std::strcmp(argv[1], "blobs") == 0) {
            for (unsigned round = 1;; ++round) {
                std::string blob(64 * 1024, static_cast<char>(round));
                stress.SetBinary(u"Blob", ByteBuffer(blob));
            }
        }
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", error.GetText().ToUtf8().c_str());
        return 1;
    }
    std::fprintf(stderr, "usage: hive_writer values <prefix> <count> | blobs\n");
    return 2;
}
