// Lists or unlists this program in the enhanced-security zone map, as the
// launcher does at its start and end: "esc_domain_probe register" or
// "esc_domain_probe unregister". The test runs it under the Windows versions it
// gives Wine for this program's name.
#include <cstring>

#include "launcher/esc_domain.h"
#include "object/system.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    Object::ModuleStart();
    if (std::strcmp(argv[1], "register") == 0) {
        RegisterEscDomain();
    } else if (std::strcmp(argv[1], "unregister") == 0) {
        UnregisterEscDomain();
    } else {
        return 2;
    }
    return 0;
}
