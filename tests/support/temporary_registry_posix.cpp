#include "temporary_registry.h"

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {
std::string g_directory;
}

void UseTemporaryRegistry() {
    char pattern[] = "/tmp/orvella-registry-XXXXXX";
    if (!mkdtemp(pattern)) {
        abort();
    }
    g_directory = pattern;
    setenv("ORVELLA_REGISTRY_DIR", pattern, 1);
    atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(g_directory, ignored);
    });
}
