// Evaluating the conditions of declared page extensions.
#include "launcher/page/extension_condition.h"

#include <cstring>

#include "base/ascii_case.h"
#include "base/environment.h"
#include "base/platform.h"
#include "base/processor.h"
#include "base/system_version.h"
#include "error/error.h"
#include "io/file_system.h"
#include "io/path.h"
#include "io/path_factory.h"
#include "mt/current_thread.h"
#include "properties/registry.h"

namespace {

// A registry value as text: a string as it is (an expandable one unexpanded),
// a DWORD in decimal; none for other types and for what cannot be read.
std::optional<BaseString> RegistryValueText(Registry::Key key, const BaseString& name) {
    uint32_t type = 0;
    uint32_t size = 0;
    if (Registry::QueryValue(key, name.c_str(), &type, nullptr, &size) != 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> data(size);
    if (Registry::QueryValue(key, name.c_str(), &type, data.data(), &size) != 0) {
        return std::nullopt;
    }
    data.resize(size);
    if (type == Registry::kTypeDword && data.size() == 4) {
        uint32_t number = 0;
        std::memcpy(&number, data.data(), 4);
        return BaseString::FromUtf8(std::to_string(number));
    }
    if (type != Registry::kTypeString && type != Registry::kTypeExpandString) {
        return std::nullopt;
    }
    std::u16string text(data.size() / 2, u'\0');
    std::memcpy(text.data(), data.data(), text.size() * 2);
    // The stored terminating zeros are no part of the text.
    while (!text.empty() && text.back() == u'\0') {
        text.pop_back();
    }
    return BaseString(text);
}

bool RegistryHoldsIn(const RegistryTest& test, Registry::View view) {
    Registry::Key root =
        test.hive == RegistryHive::kMachine ? Registry::MachineRoot() : Registry::UserRoot();
    Registry::Key key = nullptr;
    if (Registry::OpenKey(root, test.key.c_str(), &key, view) != 0) {
        return false;
    }
    bool holds = true;
    if (test.value) {
        std::optional<BaseString> text = RegistryValueText(key, *test.value);
        if (!text) {
            // A value of another type still exists.
            uint32_t size = 0;
            holds = !test.equals && !test.at_least &&
                    Registry::QueryValue(key, test.value->c_str(), nullptr, nullptr, &size) == 0;
        } else if (test.equals) {
            holds = *text == *test.equals;
        } else if (test.at_least) {
            std::optional<Version> version = ParseVersion(text->view());
            holds = version && VersionAtLeast(*version, *test.at_least);
        }
    }
    Registry::CloseKey(key);
    return holds;
}

bool RegistryHolds(const RegistryTest& test) {
    switch (test.view) {
        case RegistryView::k64:
            return RegistryHoldsIn(test, Registry::View::k64);
        case RegistryView::k32:
            return RegistryHoldsIn(test, Registry::View::k32);
        case RegistryView::kAny:
            return RegistryHoldsIn(test, Registry::View::k64) ||
                   RegistryHoldsIn(test, Registry::View::k32);
    }
    return false;
}

bool PathHolds(const PathTest& test) {
    std::optional<BaseString> path = ResolveDeclaredPath(test.path);
    if (!path) {
        return false;
    }
    Io::FileSystem::EntryKind kind = Io::FileSystem::GetEntryKind(*path);
    return test.folder ? Io::FileSystem::IsFolder(kind) : kind == Io::FileSystem::EntryKind::kFile;
}

bool SystemHolds(const SystemTest& test) {
    if (test.os) {
        bool windows = Base::kPathSeparator == u'\\';
        if (windows != (*test.os == OperatingSystem::kWindows)) {
            return false;
        }
    }
    if (test.bits && (*test.bits == 64) != Base::IsSystem64Bit()) {
        return false;
    }
    if (test.processor && *test.processor != Base::NativeProcessor()) {
        return false;
    }
    if (test.version_at_least) {
        Version version = Base::SystemVersion();
        if (version.empty() || !VersionAtLeast(version, *test.version_at_least)) {
            return false;
        }
    }
    return true;
}

bool EnvironmentHolds(const EnvironmentTest& test) {
    std::optional<BaseString> value = Base::EnvironmentVariable(test.name.view());
    return value && (!test.equals || *value == *test.equals);
}

bool FreeSpaceHolds(const FreeSpaceTest& test) {
    std::optional<BaseString> path = ResolveDeclaredPath(test.path);
    uint64_t bytes = 0;
    return path && Io::FileSystem::GetAvailableSpace(*path, &bytes) && bytes >= test.at_least;
}

bool CombinationHolds(const Combination& combination) {
    switch (combination.how) {
        case Combine::kAll:
            for (const Condition& operand : combination.operands) {
                if (!ConditionHolds(operand)) {
                    return false;
                }
            }
            return true;
        case Combine::kAny:
            for (const Condition& operand : combination.operands) {
                if (ConditionHolds(operand)) {
                    return true;
                }
            }
            return false;
        case Combine::kNot:
            return combination.operands.size() == 1 && !ConditionHolds(combination.operands[0]);
    }
    return false;
}

struct Evaluate {
    bool operator()(const Combination& test) { return CombinationHolds(test); }
    bool operator()(const RegistryTest& test) { return RegistryHolds(test); }
    bool operator()(const PathTest& test) { return PathHolds(test); }
    bool operator()(const SystemTest& test) { return SystemHolds(test); }
    bool operator()(const EnvironmentTest& test) { return EnvironmentHolds(test); }
    bool operator()(const ProgramTest& test) {
        return !Io::FileSystem::FindProgram(test.name).empty();
    }
    bool operator()(const FreeSpaceTest& test) { return FreeSpaceHolds(test); }
    bool operator()(const BrokenCondition&) { return false; }
};

// The 32-bit launcher on 64-bit Windows, which WOW64 redirects.
bool IsWow64Launcher() {
    return sizeof(void*) == 4 && Base::IsSystem64Bit();
}

// A variable of a declared path: the environment's; on Windows the names of
// the 64-bit programs' folders stand for the one folder of 32-bit Windows,
// which does not set them.
std::optional<BaseString> DeclaredVariable(std::u16string_view name) {
    std::optional<BaseString> value = Base::EnvironmentVariable(name);
    if (value || Base::NativeVariableSyntax() != Base::VariableSyntax::kPercent ||
        Base::IsSystem64Bit()) {
        return value;
    }
    if (Base::EqualsIgnoringAsciiCase(name, u"ProgramW6432")) {
        return Base::EnvironmentVariable(u"ProgramFiles");
    }
    if (Base::EqualsIgnoringAsciiCase(name, u"CommonProgramW6432")) {
        return Base::EnvironmentVariable(u"CommonProgramFiles");
    }
    return value;
}

// "<Windows folder>\Sysnative\..." as "<Windows folder>\System32\...": the
// name exists only for a process that WOW64 redirects.
BaseString SysnativeAsSystem32(const BaseString& path) {
    std::optional<BaseString> windows = Base::EnvironmentVariable(u"SystemRoot");
    if (!windows || windows->empty()) {
        return path;
    }
    std::u16string_view folder = windows->view();
    if (folder.back() == u'\\') {
        folder.remove_suffix(1);
    }
    std::u16string_view text = path.view();
    constexpr std::u16string_view kSysnative = u"\\Sysnative";
    if (!Base::EqualsIgnoringAsciiCase(text.substr(0, folder.size()), folder) ||
        !Base::EqualsIgnoringAsciiCase(text.substr(folder.size(), kSysnative.size()), kSysnative)) {
        return path;
    }
    std::u16string_view rest = text.substr(folder.size() + kSysnative.size());
    if (!rest.empty() && rest.front() != u'\\' && rest.front() != u'/') {
        return path;
    }
    return BaseString(text.substr(0, folder.size())) + u"\\System32" + rest;
}

}  // namespace

std::optional<BaseString> RedirectedFolderNote(std::u16string_view path) {
    if (Base::FindIgnoringAsciiCase(path, u"%ProgramFiles%") != path.npos) {
        return BaseString(
            u"the 32-bit launcher on 64-bit Windows reads %ProgramFiles% as \"Program Files "
            u"(x86)\": write %ProgramW6432% for the 64-bit programs' folder (Program Files on "
            u"32-bit Windows too), or %ProgramFiles(x86)% for the 32-bit programs'");
    }
    if (Base::FindIgnoringAsciiCase(path, u"%CommonProgramFiles%") != path.npos) {
        return BaseString(
            u"the 32-bit launcher on 64-bit Windows reads %CommonProgramFiles% as the 32-bit "
            u"programs' Common Files: write %CommonProgramW6432% for the 64-bit programs' "
            u"folder, or %CommonProgramFiles(x86)% for the 32-bit programs'");
    }
    for (size_t at = Base::FindIgnoringAsciiCase(path, u"System32"); at != path.npos;) {
        size_t end = at + 8;
        bool starts = at > 0 && (path[at - 1] == u'\\' || path[at - 1] == u'/');
        bool ends = end == path.size() || path[end] == u'\\' || path[end] == u'/';
        if (starts && ends) {
            return BaseString(
                u"the 32-bit launcher on 64-bit Windows sees SysWOW64 as System32: write "
                u"%SystemRoot%\\Sysnative for the 64-bit system folder (System32 wherever "
                u"Windows does not redirect it)");
        }
        at = Base::FindIgnoringAsciiCase(path, u"System32", end);
    }
    return std::nullopt;
}

bool ConditionHolds(const Condition& condition) {
    try {
        return std::visit(Evaluate{}, condition.test);
    } catch (const Error&) {
        Mt::CheckInterrupt();
        return false;
    }
}

std::optional<BaseString> ResolveDeclaredPath(const BaseString& path) {
    std::optional<BaseString> expanded =
        Base::ExpandVariables(path.view(), Base::NativeVariableSyntax(), DeclaredVariable);
    if (!expanded || expanded->empty()) {
        return std::nullopt;
    }
    if (Base::NativeVariableSyntax() == Base::VariableSyntax::kPercent && !IsWow64Launcher()) {
        *expanded = SysnativeAsSystem32(*expanded);
    }
    try {
        return Io::Fs::PathFromName(*expanded)->text();
    } catch (const Error&) {
        Mt::CheckInterrupt();
        return std::nullopt;
    }
}
