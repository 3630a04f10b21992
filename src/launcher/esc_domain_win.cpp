#include "launcher/esc_domain.h"

#include "base/platform.h"
#include "base/string.h"
#include "base/win.h"
#include "error/error.h"
#include "mt/current_thread.h"
#include "properties/persistent_properties.h"

// Windows Server 2003 (version 5.2) is the version whose browser may run under
// the enhanced security configuration; on every other version neither step
// touches the registry.
namespace {

constexpr char16_t kEscDomains[] =
    u"Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\EscDomains\\";
constexpr uint32_t kTrustedSitesZone = 2;

bool IsEscVersion() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return ::GetVersionExW(&version) && version.dwMajorVersion == 5 && version.dwMinorVersion == 2;
}

// "...\EscDomains\security_<executable's file name>".
BaseString ListingKey() {
    BaseString executable = Base::ExecutablePath();
    return BaseString(kEscDomains) + u"security_" + Base::LastComponentOf(executable);
}

}  // namespace

bool RegisterEscDomain() {
    if (!IsEscVersion()) {
        return false;
    }
    try {
        PersistentProperties listing(ListingKey(), PropertyScope::kUser);
        listing.SetDword(BaseString(u"about"), kTrustedSitesZone);
    } catch (const Error&) {
        Mt::CheckInterrupt();
    }
    return false;
}

bool UnregisterEscDomain() {
    if (!IsEscVersion()) {
        return false;
    }
    try {
        PersistentProperties listing(ListingKey(), PropertyScope::kUser);
        listing.DeleteKey();
    } catch (const Error&) {
        Mt::CheckInterrupt();
    }
    return false;
}
