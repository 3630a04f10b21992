#include "launcher/esc_domain.h"

// The enhanced-security configuration belongs to one Windows version: here
// there is no zone map to touch.
bool RegisterEscDomain() {
    return false;
}

bool UnregisterEscDomain() {
    return false;
}
