// Evaluating the conditions of declared page extensions.
#include "launcher/page/extension_condition.h"

#include <cstring>

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

bool RegistryHolds(const RegistryTest& test) {
    Registry::Key root =
        test.hive == RegistryHive::kMachine ? Registry::MachineRoot() : Registry::UserRoot();
    Registry::Key key = nullptr;
    if (Registry::OpenKey(root, test.key.c_str(), &key) != 0) {
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

}  // namespace

bool ConditionHolds(const Condition& condition) {
    try {
        return std::visit(Evaluate{}, condition.test);
    } catch (const Error&) {
        Mt::CheckInterrupt();
        return false;
    }
}

std::optional<BaseString> ResolveDeclaredPath(const BaseString& path) {
    std::optional<BaseString> expanded = Base::ExpandEnvironmentVariables(path.view());
    if (!expanded || expanded->empty()) {
        return std::nullopt;
    }
    try {
        return Io::Fs::PathFromName(*expanded)->text();
    } catch (const Error&) {
        Mt::CheckInterrupt();
        return std::nullopt;
    }
}
