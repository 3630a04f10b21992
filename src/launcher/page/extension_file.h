#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "base/processor.h"
#include "base/string.h"
#include "object/ref.h"
#include "xml/node.h"
#include "xml/node_positions.h"

// The page extensions a medium declares in "rsc/extensions.xml": for each
// class identifier, when its element is shown and what its "invoke:" link
// does. One reader for the plug-in that serves them and for the page tool's
// check:
//
//   <extensions>
//     <extension class="CID_Orvella::WhenNotInstalled">
//       <shown-when>
//         <not><registry key="HKLM\SOFTWARE\Orvella\1.0\InstallDir" value=""/></not>
//       </shown-when>
//       <run program="setup.exe" elevated="yes" close-menu="yes">
//         <argument>/quiet</argument>
//       </run>
//     </extension>
//   </extensions>

// The medium's file, relative to the launcher's current directory.
inline constexpr char16_t kExtensionFileName[] = u"rsc/extensions.xml";
// The standard plug-in that serves them: its file's name without the suffix.
inline constexpr char16_t kDeclaredExtensionsPlugin[] = u"declared_extensions";
// A larger file is not read: declarations take a few kilobytes.
inline constexpr uint64_t kExtensionFileLimit = 1024 * 1024;
// Conditions nest in "all", "any" and "not" at most this deep.
inline constexpr int kConditionDepthLimit = 32;

// Numbers from the most significant: "10.0.19041".
using Version = std::vector<uint32_t>;

// Digits separated by dots, at most 8 numbers of at most 9 digits each.
std::optional<Version> ParseVersion(std::u16string_view text);

// Whether `version` is at least `least`, missing numbers counting as 0.
bool VersionAtLeast(const Version& version, const Version& least);

// A number of bytes: digits, then optionally blanks and a unit of 1024s (B,
// KB, MB, GB, TB, in any case); none when it does not fit 64 bits.
std::optional<uint64_t> ParseByteSize(std::u16string_view text);

enum class RegistryHive { kMachine, kUser };

// Which registry of 64-bit Windows a registry test reads: the one 64-bit
// programs see, the one 32-bit programs see (where HKLM\SOFTWARE is
// WOW6432Node), or either: the test holds when it holds in one of them. The
// default is either, as a product's key is where its installer wrote it, by
// the installer's width and not the launcher's. 32-bit Windows and Linux have
// one registry.
enum class RegistryView { kAny, k64, k32 };

// A key exists; with `value`, a value of it ("" the key's default value);
// with `equals`, that value's text (a number in decimal) is exactly this;
// with `at_least`, that value is a version (a number: one of one part) at
// least this.
struct RegistryTest {
    RegistryHive hive;
    BaseString key;  // below the hive, "SOFTWARE\Orvella"
    std::optional<BaseString> value;
    std::optional<BaseString> equals;
    std::optional<Version> at_least;
    RegistryView view = RegistryView::kAny;
};

// A file, or a folder, is at the path. Environment variables in it are
// expanded in the system's syntax; a relative path is the medium's.
struct PathTest {
    BaseString path;
    bool folder;
};

enum class OperatingSystem { kWindows, kLinux };

// Each test given must hold.
struct SystemTest {
    std::optional<OperatingSystem> os;
    std::optional<uint32_t> bits;  // 32 or 64: the system's, not the launcher's
    std::optional<Base::Processor> processor;
    std::optional<Version> version_at_least;
};

// A variable is set; with `equals`, to exactly this.
struct EnvironmentTest {
    BaseString name;
    std::optional<BaseString> equals;
};

// A program of that name is on the search path.
struct ProgramTest {
    BaseString name;
};

// The user may still write at least so many bytes on the volume of a folder
// (expanded and resolved as a PathTest's path).
struct FreeSpaceTest {
    BaseString path;
    uint64_t at_least;
};

struct Condition;

enum class Combine { kAll, kAny, kNot };

struct Combination {
    Combine how;
    std::vector<Condition> operands;  // "not": exactly one
};

// A condition the file gets wrong: it cannot be evaluated.
struct BrokenCondition {};

struct Condition {
    std::variant<Combination, RegistryTest, PathTest, SystemTest, EnvironmentTest, ProgramTest,
                 FreeSpaceTest, BrokenCondition>
        test;
};

// Opens a document, a folder or an address with the system's handler. A
// target with a scheme of two characters or more ("https:", "mailto:") is an
// address, anything else a path as a PathTest's.
struct OpenAction {
    BaseString target;
};

// Starts a program of the medium (or at a full path) with the arguments as
// they are, optionally elevated (Windows) and closing the menu once it has
// started.
struct RunAction {
    BaseString program;
    std::vector<BaseString> arguments;
    bool elevated = false;
    bool close_menu = false;
};

// An action the file gets wrong: it fails when it runs.
struct BrokenAction {};

// monostate: the extension does nothing when invoked.
using Action = std::variant<std::monostate, OpenAction, RunAction, BrokenAction>;

// One page extension of the file.
struct ExtensionDeclaration {
    BaseString clsid;
    Ref<Xml::Element> element;
    std::optional<Condition> shown_when;  // none: always shown
    Action action;
};

// Where the reading reports what the file gets wrong: the node and what is
// wrong with it, in English. The reading goes on: a condition with a mistake
// cannot be evaluated (its element is hidden), an action with one fails, an
// extension whose own content has one gets both, and what is not an
// extension declares nothing.
class ExtensionFileProblems {
public:
    virtual void Report(const Ref<Xml::Node>& node, const BaseString& message) = 0;

protected:
    ~ExtensionFileProblems() = default;
};

// The declaration file of the medium in the current directory, with the
// positions of its nodes when `positions` is given; none when there is no such
// file. Throws Error when it cannot be read or is no XML, and one with the
// code ErrBadFormat when it is larger than kExtensionFileLimit.
Ref<Xml::Document> ReadExtensionFile(Xml::NodePositions* positions);

// The declarations of a read file in document order; of a class declared twice,
// the first.
std::vector<ExtensionDeclaration> ReadExtensionDeclarations(const Ref<Xml::Document>& document,
                                                            ExtensionFileProblems* problems);

// The declarations of the medium in the current directory: none when it has no
// file or the file cannot be read. Never throws.
std::vector<ExtensionDeclaration> LoadMediumExtensions();
