// The medium's page-extension declarations (rsc/extensions.xml).
#include <set>
#include <vector>

#include "check/checks.h"
#include "launcher/commands/start_program.h"
#include "launcher/page/extension_condition.h"
#include "launcher/page/extension_file.h"

namespace {

constexpr Xml::TextPosition kFileStart{1, 1};

BaseString Quoted(std::u16string_view text) {
    return u"\"" + BaseString(text) + u"\"";
}

class ProblemFindings final : public ExtensionFileProblems {
public:
    ProblemFindings(const Xml::NodePositions& positions, Findings& findings)
        : positions_(positions), findings_(findings) {}

    void Report(const Ref<Xml::Node>& node, const BaseString& message) override {
        findings_.Error(kExtensionFileName, positions_.Find(node).value_or(kFileStart), message);
    }

private:
    const Xml::NodePositions& positions_;
    Findings& findings_;
};

bool IsClassChar(char16_t c) {
    return c > u' ' && c != u'"' && c != u'\'' && c != u'<' && c != u'>' && c != u'#';
}

// The class identifiers "invoke:" names in a text.
void AddInvoked(std::u16string_view text, std::set<BaseString>& classes) {
    constexpr std::u16string_view kInvoke = u"invoke:";
    for (size_t at = text.find(kInvoke); at != text.npos; at = text.find(kInvoke, at)) {
        at += kInvoke.size();
        size_t end = at;
        while (end < text.size() && IsClassChar(text[end])) {
            ++end;
        }
        if (end > at) {
            classes.insert(BaseString(text.substr(at, end - at)));
        }
    }
}

// The classes the page uses: its items' "visibility" and the "invoke:" links
// of the template and of the items' attributes.
std::set<BaseString> UsedClasses(const Medium& medium) {
    std::set<BaseString> classes;
    AddInvoked(medium.template_text().view(), classes);
    for (const PageItem& item : medium.items()) {
        for (const BaseString& name : item.element->attributeNames()) {
            BaseString value = item.element->attribute(name);
            if (name == u"visibility" && !value.empty()) {
                classes.insert(value);
            }
            AddInvoked(value.view(), classes);
        }
    }
    return classes;
}

// What Windows does otherwise than the author may expect with the paths and
// programs of the declarations: folders the 32-bit launcher sees redirected,
// batch files, which "run" refuses.
void CheckWindowsPath(const Ref<Xml::Element>& element, const Xml::NodePositions& positions,
                      Findings& findings) {
    BaseString name = element->value();
    Xml::TextPosition position = positions.Find(element).value_or(kFileStart);
    for (std::u16string_view attribute : {u"path", u"program", u"target"}) {
        BaseString key(attribute);
        if (name == u"free-space" || !element->hasAttribute(key)) {
            continue;
        }
        BaseString path = element->attribute(key);
        if (std::optional<BaseString> note = RedirectedFolderNote(path.view())) {
            findings.Warning(kExtensionFileName, position,
                             u"<" + name + u"> " + Quoted(path.view()) + u": " + *note);
        }
        if (name == u"run" && attribute == u"program" && IsBatchFile(path.view())) {
            findings.Warning(
                kExtensionFileName, position,
                u"<run> of a batch file " + Quoted(path.view()) +
                    u": Windows runs it through the command shell, which reads its arguments "
                    u"by rules of its own (\"&\", \"%\", \"^\"), so the launcher refuses to "
                    u"start it there; start a program, or open the batch file without "
                    u"arguments with <open>");
        }
    }
}

// Every element of the file, without recursion: a hostile file nests deep.
void CheckWindowsPaths(const Ref<Xml::Element>& root, const Xml::NodePositions& positions,
                       Findings& findings) {
    std::vector<Ref<Xml::Element>> pending{root};
    while (!pending.empty()) {
        Ref<Xml::Element> element = std::move(pending.back());
        pending.pop_back();
        CheckWindowsPath(element, positions, findings);
        std::vector<Ref<Xml::Node>> children = element->children();
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            if (Ref<Xml::Element> child_element = SoftCast<Xml::Element>(*child)) {
                pending.push_back(std::move(child_element));
            }
        }
    }
}

}  // namespace

void CheckExtensions(const Medium& medium, Findings& findings) {
    Xml::NodePositions positions;
    Ref<Xml::Document> document;
    try {
        document = ReadExtensionFile(&positions);
    } catch (const Error& error) {
        findings.Error(kExtensionFileName, XmlErrorPosition(error).value_or(kFileStart),
                       error.GetText() + u" No class of the file is served.");
        return;
    }
    if (!document) {
        return;
    }
    ProblemFindings problems(positions, findings);
    std::vector<ExtensionDeclaration> declarations = ReadExtensionDeclarations(document, &problems);
    if (Ref<Xml::Element> root = document->rootElement()) {
        CheckWindowsPaths(root, positions, findings);
    }
    if (!medium.has_data() || !medium.has_template()) {
        return;
    }
    std::set<BaseString> used = UsedClasses(medium);
    for (const ExtensionDeclaration& declaration : declarations) {
        if (!used.contains(declaration.clsid)) {
            findings.Warning(kExtensionFileName,
                             positions.Find(declaration.element).value_or(kFileStart),
                             u"the class " + Quoted(declaration.clsid.view()) +
                                 u" is declared, but no element or link of the page uses it");
        }
    }
}
