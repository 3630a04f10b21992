// Reading the page extensions a medium declares in "rsc/extensions.xml".
#include "launcher/page/extension_file.h"

#include <algorithm>
#include <initializer_list>
#include <set>
#include <utility>

#include "base/ascii_case.h"
#include "error/error.h"
#include "io/file.h"
#include "io/path.h"
#include "io/path_factory.h"
#include "mt/current_thread.h"
#include "object/manager.h"
#include "xml/reader.h"

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsBlankText(std::u16string_view text) {
    for (char16_t c : text) {
        if (!IsBlank(c)) {
            return false;
        }
    }
    return true;
}

// The text without the blanks around it where they hold a line break: an
// argument written on a line of its own, indented, is the text of that line.
// Blanks without a line break are the argument's own.
std::u16string_view WithoutLayout(std::u16string_view text) {
    auto is_break = [](char16_t c) { return c == u'\n' || c == u'\r'; };
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) {
        ++start;
    }
    if (std::any_of(text.begin(), text.begin() + static_cast<ptrdiff_t>(start), is_break)) {
        text.remove_prefix(start);
    }
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) {
        --end;
    }
    if (std::any_of(text.begin() + static_cast<ptrdiff_t>(end), text.end(), is_break)) {
        text.remove_suffix(text.size() - end);
    }
    return text;
}

BaseString Quoted(std::u16string_view text) {
    return u"\"" + BaseString(text) + u"\"";
}

// Reads one element's content, reporting as it goes; `broken` once anything
// was reported.
class Reading {
public:
    explicit Reading(ExtensionFileProblems* problems) : problems_(problems) {}

    void Report(const Ref<Xml::Node>& node, const BaseString& message) {
        broken_ = true;
        if (problems_) {
            problems_->Report(node, message);
        }
    }

    bool broken() const { return broken_; }
    void Reset() { broken_ = false; }

    // Reports the attributes the element has beyond those allowed.
    void CheckAttributes(const Ref<Xml::Element>& element,
                         std::initializer_list<std::u16string_view> allowed) {
        for (const BaseString& name : element->attributeNames()) {
            bool known = false;
            for (std::u16string_view candidate : allowed) {
                known = known || name == candidate;
            }
            if (!known) {
                Report(element, u"unknown attribute " + Quoted(name.view()) + u" of <" +
                                    element->value().view() + u">");
            }
        }
    }

    // The attribute's value; none (reported when `required`) when it is missing.
    std::optional<BaseString> Attribute(const Ref<Xml::Element>& element, std::u16string_view name,
                                        bool required) {
        BaseString key(name);
        if (!element->hasAttribute(key)) {
            if (required) {
                Report(element, u"<" + element->value() + u"> needs the attribute " + Quoted(name));
            }
            return std::nullopt;
        }
        return element->attribute(key);
    }

    // "yes" or "no"; false when missing.
    bool YesNo(const Ref<Xml::Element>& element, std::u16string_view name) {
        std::optional<BaseString> value = Attribute(element, name, false);
        if (!value || *value == u"no") {
            return false;
        }
        if (*value != u"yes") {
            Report(element, Quoted(name) + u" is \"yes\" or \"no\", not " + Quoted(value->view()));
        }
        return *value == u"yes";
    }

    std::optional<Version> VersionAttribute(const Ref<Xml::Element>& element,
                                            std::u16string_view name) {
        std::optional<BaseString> text = Attribute(element, name, false);
        if (!text) {
            return std::nullopt;
        }
        std::optional<Version> version = ParseVersion(text->view());
        if (!version) {
            Report(element, Quoted(name) + u" is no version (numbers separated by dots): " +
                                Quoted(text->view()));
        }
        return version;
    }

    // The child elements; text other than blanks is reported, comments are
    // passed over.
    std::vector<Ref<Xml::Element>> ChildElements(const Ref<Xml::Element>& element) {
        std::vector<Ref<Xml::Element>> elements;
        for (const Ref<Xml::Node>& child : element->children()) {
            if (Ref<Xml::Element> child_element = SoftCast<Xml::Element>(child)) {
                elements.push_back(std::move(child_element));
            } else if (child->kind() != Xml::kCommentKind && !IsBlankText(child->value().view())) {
                Report(child, u"text is not expected in <" + element->value() + u">");
            }
        }
        return elements;
    }

    // A condition element, nested `depth` deep.
    Condition ReadCondition(const Ref<Xml::Element>& element, int depth) {
        bool was_broken = std::exchange(broken_, false);
        Condition condition{ReadTest(element, depth)};
        if (broken_) {
            condition.test = BrokenCondition{};
        }
        broken_ = broken_ || was_broken;
        return condition;
    }

    // The conditions of an element that all must hold: "shown-when" and "all".
    std::vector<Condition> ReadOperands(const Ref<Xml::Element>& element, int depth) {
        std::vector<Condition> operands;
        for (const Ref<Xml::Element>& child : ChildElements(element)) {
            operands.push_back(ReadCondition(child, depth + 1));
        }
        return operands;
    }

private:
    decltype(Condition::test) ReadTest(const Ref<Xml::Element>& element, int depth) {
        BaseString name = element->value();
        if (depth > kConditionDepthLimit) {
            Report(element, BaseString(u"conditions nest more than ") +
                                BaseString::FromUtf8(std::to_string(kConditionDepthLimit)) +
                                u" deep");
            return BrokenCondition{};
        }
        if (name == u"all" || name == u"any" || name == u"not") {
            return ReadCombination(element, depth);
        }
        if (name == u"registry") {
            return ReadRegistry(element);
        }
        if (name == u"file" || name == u"folder") {
            CheckAttributes(element, {u"path"});
            NoChildren(element);
            return PathTest{Attribute(element, u"path", true).value_or(BaseString()),
                            name == u"folder"};
        }
        if (name == u"system") {
            return ReadSystem(element);
        }
        if (name == u"environment") {
            CheckAttributes(element, {u"name", u"equals"});
            NoChildren(element);
            return EnvironmentTest{Attribute(element, u"name", true).value_or(BaseString()),
                                   Attribute(element, u"equals", false)};
        }
        if (name == u"program") {
            CheckAttributes(element, {u"name"});
            NoChildren(element);
            BaseString program = Attribute(element, u"name", true).value_or(BaseString());
            if (program.view().find_first_of(u"/\\") != std::u16string_view::npos) {
                Report(element, u"a program on the search path is named without a folder: " +
                                    Quoted(program.view()));
            }
            return ProgramTest{program};
        }
        if (name == u"free-space") {
            return ReadFreeSpace(element);
        }
        Report(element, u"unknown condition <" + name + u">");
        return BrokenCondition{};
    }

    void NoChildren(const Ref<Xml::Element>& element) {
        for (const Ref<Xml::Element>& child : ChildElements(element)) {
            Report(child, u"<" + element->value() + u"> holds no elements");
        }
    }

    Combination ReadCombination(const Ref<Xml::Element>& element, int depth) {
        BaseString name = element->value();
        CheckAttributes(element, {});
        Combination combination{name == u"all"   ? Combine::kAll
                                : name == u"any" ? Combine::kAny
                                                 : Combine::kNot,
                                ReadOperands(element, depth)};
        if (combination.how == Combine::kNot && combination.operands.size() != 1) {
            Report(element, BaseString(u"<not> holds exactly one condition"));
        } else if (combination.operands.empty()) {
            Report(element, u"a condition with no test: <" + name + u"> is empty");
        }
        return combination;
    }

    RegistryTest ReadRegistry(const Ref<Xml::Element>& element) {
        CheckAttributes(element, {u"key", u"value", u"equals", u"at-least", u"view"});
        NoChildren(element);
        RegistryTest test{RegistryHive::kMachine,
                          {},
                          Attribute(element, u"value", false),
                          Attribute(element, u"equals", false),
                          VersionAttribute(element, u"at-least")};
        BaseString key = Attribute(element, u"key", true).value_or(BaseString());
        std::u16string_view text = key.view();
        size_t slash = text.find(u'\\');
        std::u16string_view root = text.substr(0, slash);
        if (Base::EqualsIgnoringAsciiCase(root, u"HKLM") ||
            Base::EqualsIgnoringAsciiCase(root, u"HKEY_LOCAL_MACHINE")) {
            test.hive = RegistryHive::kMachine;
        } else if (Base::EqualsIgnoringAsciiCase(root, u"HKCU") ||
                   Base::EqualsIgnoringAsciiCase(root, u"HKEY_CURRENT_USER")) {
            test.hive = RegistryHive::kUser;
        } else if (element->hasAttribute(BaseString(u"key"))) {
            Report(element, u"a registry key starts with HKLM\\ or HKCU\\: " + Quoted(text));
        }
        test.key = BaseString(slash == text.npos ? std::u16string_view() : text.substr(slash + 1));
        if ((test.equals || test.at_least) && !test.value) {
            Report(element, BaseString(u"\"equals\" and \"at-least\" compare a \"value\""));
        }
        if (test.equals && test.at_least) {
            Report(element, BaseString(u"\"equals\" and \"at-least\" do not go together"));
        }
        if (std::optional<BaseString> view = Attribute(element, u"view", false)) {
            if (*view == u"64") {
                test.view = RegistryView::k64;
            } else if (*view == u"32") {
                test.view = RegistryView::k32;
            } else if (*view != u"any") {
                Report(element,
                       u"\"view\" is \"64\", \"32\" or \"any\", not " + Quoted(view->view()));
            }
        }
        return test;
    }

    SystemTest ReadSystem(const Ref<Xml::Element>& element) {
        CheckAttributes(element, {u"os", u"bits", u"processor", u"version-at-least"});
        NoChildren(element);
        SystemTest test;
        if (std::optional<BaseString> os = Attribute(element, u"os", false)) {
            if (*os == u"windows") {
                test.os = OperatingSystem::kWindows;
            } else if (*os == u"linux") {
                test.os = OperatingSystem::kLinux;
            } else {
                Report(element, u"\"os\" is \"windows\" or \"linux\", not " + Quoted(os->view()));
            }
        }
        if (std::optional<BaseString> bits = Attribute(element, u"bits", false)) {
            if (*bits == u"32" || *bits == u"64") {
                test.bits = *bits == u"32" ? 32 : 64;
            } else {
                Report(element, u"\"bits\" is \"32\" or \"64\", not " + Quoted(bits->view()));
            }
        }
        if (std::optional<BaseString> processor = Attribute(element, u"processor", false)) {
            if (*processor == u"x86") {
                test.processor = Base::Processor::kX86;
            } else if (*processor == u"x64") {
                test.processor = Base::Processor::kX64;
            } else if (*processor == u"arm64") {
                test.processor = Base::Processor::kArm64;
            } else {
                Report(element, u"\"processor\" is \"x86\", \"x64\" or \"arm64\", not " +
                                    Quoted(processor->view()));
            }
        }
        test.version_at_least = VersionAttribute(element, u"version-at-least");
        if (element->attributeNames().empty()) {
            Report(element, BaseString(u"a condition with no test: <system> names nothing"));
        }
        return test;
    }

    FreeSpaceTest ReadFreeSpace(const Ref<Xml::Element>& element) {
        CheckAttributes(element, {u"path", u"at-least"});
        NoChildren(element);
        FreeSpaceTest test{Attribute(element, u"path", true).value_or(BaseString()), 0};
        if (std::optional<BaseString> size = Attribute(element, u"at-least", true)) {
            std::optional<uint64_t> bytes = ParseByteSize(size->view());
            if (!bytes) {
                Report(element, u"\"at-least\" is a number of bytes (\"500 MB\"), not " +
                                    Quoted(size->view()));
            }
            test.at_least = bytes.value_or(0);
        }
        return test;
    }

    ExtensionFileProblems* problems_;
    bool broken_ = false;
};

Action ReadAction(const Ref<Xml::Element>& element, Reading& reading) {
    BaseString name = element->value();
    if (name == u"open") {
        reading.CheckAttributes(element, {u"target"});
        for (const Ref<Xml::Element>& child : reading.ChildElements(element)) {
            reading.Report(child, BaseString(u"<open> holds no elements"));
        }
        return OpenAction{reading.Attribute(element, u"target", true).value_or(BaseString())};
    }
    reading.CheckAttributes(element, {u"program", u"elevated", u"close-menu"});
    RunAction run;
    run.program = reading.Attribute(element, u"program", true).value_or(BaseString());
    run.elevated = reading.YesNo(element, u"elevated");
    run.close_menu = reading.YesNo(element, u"close-menu");
    for (const Ref<Xml::Element>& child : reading.ChildElements(element)) {
        if (child->value() != u"argument") {
            reading.Report(child, u"unknown element <" + child->value() + u"> in <run>");
            continue;
        }
        reading.CheckAttributes(child, {});
        // An argument is its text as written, blanks and all, but for blanks
        // around it that hold a line break; CDATA counts as text.
        BaseString argument;
        for (const Ref<Xml::Node>& part : child->children()) {
            if (part->kind() == Xml::kTextKind || part->kind() == Xml::kCdataKind) {
                argument += part->value().view();
            } else if (part->kind() != Xml::kCommentKind) {
                reading.Report(part, BaseString(u"<argument> holds only text"));
            }
        }
        run.arguments.emplace_back(WithoutLayout(argument.view()));
    }
    return run;
}

// One "extension" element; none when it declares nothing.
std::optional<ExtensionDeclaration> ReadExtension(const Ref<Xml::Element>& element,
                                                  ExtensionFileProblems* problems) {
    Reading reading(problems);
    reading.CheckAttributes(element, {u"class"});
    std::optional<BaseString> clsid = reading.Attribute(element, u"class", true);
    if (clsid && clsid->empty()) {
        reading.Report(element, BaseString(u"the class identifier is empty"));
    }
    if (!clsid || clsid->empty()) {
        return std::nullopt;
    }
    reading.Reset();
    ExtensionDeclaration declaration{*clsid, element, std::nullopt, std::monostate()};
    bool has_condition = false;
    bool has_action = false;
    bool own_mistake = false;
    bool condition_broken = false;
    bool action_broken = false;
    for (const Ref<Xml::Element>& child : reading.ChildElements(element)) {
        BaseString name = child->value();
        if (name == u"shown-when") {
            if (std::exchange(has_condition, true)) {
                reading.Report(child, BaseString(u"a second <shown-when>: an extension has one"));
                own_mistake = true;
                continue;
            }
            reading.Reset();
            reading.CheckAttributes(child, {});
            std::vector<Condition> operands = reading.ReadOperands(child, 0);
            if (operands.empty()) {
                reading.Report(child,
                               BaseString(u"a condition with no test: <shown-when> is empty"));
            }
            condition_broken = reading.broken();
            declaration.shown_when =
                operands.size() == 1 ? std::move(operands[0])
                                     : Condition{Combination{Combine::kAll, std::move(operands)}};
        } else if (name == u"open" || name == u"run") {
            if (std::exchange(has_action, true)) {
                reading.Report(child, BaseString(u"a second action: an extension has one"));
                own_mistake = true;
                continue;
            }
            reading.Reset();
            declaration.action = ReadAction(child, reading);
            action_broken = reading.broken();
        } else {
            reading.Report(child, u"unknown element <" + name + u"> in <extension>");
            own_mistake = true;
        }
    }
    if (own_mistake || condition_broken) {
        declaration.shown_when = Condition{BrokenCondition{}};
    }
    if (own_mistake || action_broken) {
        declaration.action = BrokenAction{};
    }
    return declaration;
}

}  // namespace

std::optional<Version> ParseVersion(std::u16string_view text) {
    Version version;
    size_t at = 0;
    for (;;) {
        size_t start = at;
        uint32_t number = 0;
        while (at < text.size() && IsDigit(text[at]) && at - start < 9) {
            number = number * 10 + static_cast<uint32_t>(text[at] - u'0');
            ++at;
        }
        if (at == start || (at < text.size() && IsDigit(text[at])) || version.size() == 8) {
            return std::nullopt;
        }
        version.push_back(number);
        if (at == text.size()) {
            return version;
        }
        if (text[at] != u'.') {
            return std::nullopt;
        }
        ++at;
    }
}

bool VersionAtLeast(const Version& version, const Version& least) {
    for (size_t i = 0; i < std::max(version.size(), least.size()); ++i) {
        uint32_t have = i < version.size() ? version[i] : 0;
        uint32_t need = i < least.size() ? least[i] : 0;
        if (have != need) {
            return have > need;
        }
    }
    return true;
}

std::optional<uint64_t> ParseByteSize(std::u16string_view text) {
    size_t at = 0;
    uint64_t number = 0;
    while (at < text.size() && IsDigit(text[at])) {
        uint64_t digit = static_cast<uint64_t>(text[at] - u'0');
        if (number > (UINT64_MAX - digit) / 10) {
            return std::nullopt;
        }
        number = number * 10 + digit;
        ++at;
    }
    if (at == 0) {
        return std::nullopt;
    }
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    std::u16string_view unit = text.substr(at);
    static constexpr std::u16string_view kUnits[] = {u"B", u"KB", u"MB", u"GB", u"TB"};
    if (unit.empty()) {
        return number;
    }
    for (int power = 0; power < 5; ++power) {
        if (Base::EqualsIgnoringAsciiCase(unit, kUnits[power])) {
            for (int i = 0; i < power; ++i) {
                if (number > UINT64_MAX / 1024) {
                    return std::nullopt;
                }
                number *= 1024;
            }
            return number;
        }
    }
    return std::nullopt;
}

Ref<Xml::Document> ReadExtensionFile(Xml::NodePositions* positions) {
    Ref<Io::Path> path = Io::Fs::PathFromName(BaseString(kExtensionFileName));
    if (path->type() != Io::kTypeFile) {
        return {};
    }
    uint64_t size =
        path->openFile(Io::Access::kRead, Io::Share::kRead, Io::kIfExistsOpen, Io::kIfMissingFail)
            ->size();
    if (size > kExtensionFileLimit) {
        throw Error(ErrBadFormat,
                    BaseString(u"The file is larger than a declaration file may be (1 MB)."), true);
    }
    if (positions) {
        return Xml::ReadFileNotingPositions(path->text(), *positions);
    }
    return Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid))->readFile(path->text());
}

std::vector<ExtensionDeclaration> ReadExtensionDeclarations(const Ref<Xml::Document>& document,
                                                            ExtensionFileProblems* problems) {
    std::vector<ExtensionDeclaration> declarations;
    Ref<Xml::Element> root = document->rootElement();
    if (!root || root->value() != u"extensions") {
        if (problems) {
            problems->Report(root ? Ref<Xml::Node>(root) : Ref<Xml::Node>(document),
                             BaseString(u"the file holds one element, <extensions>"));
        }
        return declarations;
    }
    Reading reading(problems);
    reading.CheckAttributes(root, {});
    std::set<BaseString> declared;
    for (const Ref<Xml::Element>& element : reading.ChildElements(root)) {
        if (element->value() != u"extension") {
            reading.Report(element, u"unknown element <" + element->value() + u"> in <extensions>");
            continue;
        }
        std::optional<ExtensionDeclaration> declaration = ReadExtension(element, problems);
        if (!declaration) {
            continue;
        }
        if (!declared.insert(declaration->clsid).second) {
            reading.Report(element, u"the class " + Quoted(declaration->clsid.view()) +
                                        u" is declared twice: the first declaration counts");
            continue;
        }
        declarations.push_back(std::move(*declaration));
    }
    return declarations;
}

std::vector<ExtensionDeclaration> LoadMediumExtensions() {
    try {
        Ref<Xml::Document> document = ReadExtensionFile(nullptr);
        if (!document) {
            return {};
        }
        return ReadExtensionDeclarations(document, nullptr);
    } catch (const Error&) {
        Mt::CheckInterrupt();
        return {};
    }
}
