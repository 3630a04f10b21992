#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "base/platform.h"
#include "base/win.h"

// The zone listing under the Windows versions Wine can pretend to be: the probe
// program is started once per step, with Wine's version for the probe's name
// set beforehand.
namespace {

constexpr wchar_t kProbe[] = L"esc_domain_probe.exe";
constexpr wchar_t kListing[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\EscDomains\\"
    L"security_esc_domain_probe.exe";
constexpr wchar_t kProbeDefaults[] = L"Software\\Wine\\AppDefaults\\esc_domain_probe.exe";

std::wstring ProbePath() {
    BaseString self = Base::ExecutablePath();
    std::wstring path(WidePtr(self.c_str()), self.length());
    return path.substr(0, path.rfind(L'\\') + 1) + kProbe;
}

// Wine's Windows version for the probe ("win2003" is 5.2, "win7" 6.1,
// "vista" 6.0).
void SetProbeVersion(const wchar_t* version) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kProbeDefaults, L"Version", REG_SZ, version,
                                static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

int RunProbe(const wchar_t* step) {
    std::wstring command = L"\"" + ProbePath() + L"\" " + step;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return -1;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

bool ListingExists() {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kListing, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

// The listing's "about" value; -1 when it is missing or not a number.
long AboutZone() {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, kListing, L"about", RRF_RT_REG_DWORD, nullptr, &value,
                       &size) != ERROR_SUCCESS) {
        return -1;
    }
    return static_cast<long>(value);
}

void MakeListing(DWORD zone, const wchar_t* subkey) {
    std::wstring path = std::wstring(kListing) + L"\\" + subkey;
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    ASSERT_EQ(
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kListing, L"about", REG_DWORD, &zone, sizeof(zone)),
        ERROR_SUCCESS);
}

class EscDomainTest : public testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kListing); }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kListing);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kProbeDefaults);
    }
};

TEST_F(EscDomainTest, OnWindowsServer2003TheProgramIsListedInTheTrustedZoneWhileItRuns) {
    SetProbeVersion(L"win2003");
    ASSERT_EQ(RunProbe(L"register"), 0);
    EXPECT_EQ(AboutZone(), 2);
    ASSERT_EQ(RunProbe(L"unregister"), 0);
    EXPECT_FALSE(ListingExists());
}

// The end of a run deletes the listing whoever made it, with what others put
// below it; a listing that is not there is no failure.
TEST_F(EscDomainTest, OnWindowsServer2003TheEndDeletesAnyListingWithItsSubkeys) {
    SetProbeVersion(L"win2003");
    MakeListing(4, L"left by another program");
    ASSERT_EQ(RunProbe(L"unregister"), 0);
    EXPECT_FALSE(ListingExists());
    ASSERT_EQ(RunProbe(L"unregister"), 0);
    EXPECT_FALSE(ListingExists());
}

TEST_F(EscDomainTest, OnOtherVersionsTheListingIsNeitherWrittenNorDeleted) {
    for (const wchar_t* version : {L"win7", L"vista"}) {
        SCOPED_TRACE(testing::Message()
                     << "version " << std::string(version, version + wcslen(version)));
        SetProbeVersion(version);
        ASSERT_EQ(RunProbe(L"register"), 0);
        EXPECT_FALSE(ListingExists());
        MakeListing(4, L"kept");
        ASSERT_EQ(RunProbe(L"register"), 0);
        EXPECT_EQ(AboutZone(), 4);
        ASSERT_EQ(RunProbe(L"unregister"), 0);
        EXPECT_TRUE(ListingExists());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kListing);
    }
}

}  // namespace
