#include "check/medium.h"

#include <set>

#include "error/error.h"
#include "io/file.h"
#include "launcher/page/data_file.h"
#include "launcher/page/start_page.h"
#include "launcher/texts.h"
#include "xml/node_positions.h"

namespace {

constexpr Xml::TextPosition kFileStart{1, 1};

// The system's own sentence (in the user's language) and what the check adds
// to it (in English).
BaseString Sentence(const BaseString& system_text, const BaseString& detail) {
    std::u16string_view text = system_text.view();
    bool ended = text.ends_with(u".") || text.ends_with(u"\u3002");
    return system_text + (ended ? u" " : u": ") + detail.view();
}

BaseString Quoted(std::u16string_view text) {
    return u"\"" + BaseString(text) + u"\"";
}

BaseString SyntaxMessage(const TemplateProblem& problem) {
    BaseString closing = Quoted(u"</%" + problem.name + u"%>");
    BaseString detail;
    switch (problem.kind) {
        case TemplateProblem::Kind::kTagNotEnded:
            detail = Quoted(problem.closing_tag ? u"</%" : u"<%") + u" has no \"%>\" after it.";
            break;
        case TemplateProblem::Kind::kNoBlockOpen:
            detail = closing + u" closes no open block.";
            break;
        case TemplateProblem::Kind::kWrongBlockClosed:
            detail = closing + u" does not close the innermost open block: " +
                     Quoted(u"</%" + problem.open + u"%>") + u" expected.";
            break;
        case TemplateProblem::Kind::kBlockNotClosed:
            detail =
                u"Block " + Quoted(problem.name) + u" is never closed: " + closing + u" expected.";
            break;
        case TemplateProblem::Kind::kNestedInNamesake:
            detail = u"Block " + Quoted(problem.name) + u" is inside a block of the same name.";
            break;
    }
    return Sentence(BaseString(LocalizedText(TemplateSyntaxText)), detail);
}

BaseString FaultDetail(const Ref<Xml::Node>& node, DataFileFault fault) {
    switch (fault) {
        case DataFileFault::kNotOneContent:
            return u"The document holds one element, \"content\", and nothing else.";
        case DataFileFault::kEmptyContent:
            return u"\"content\" has no child nodes.";
        case DataFileFault::kNotAString:
            return u"A language element holds only \"string\" elements.";
        case DataFileFault::kStringNotElement:
            return u"This \"string\" is text, not an element.";
        case DataFileFault::kDuplicateKey:
            return u"A second string with the id " +
                   Quoted(Cast<Xml::Element>(node, "autorun")->attribute(BaseString(u"id"))) + u".";
        case DataFileFault::kNoDataSection:
            return u"\"content\" has no \"data\" element.";
        case DataFileFault::kNotAnItem:
            return u"Only elements stand below \"data\".";
    }
    return {};
}

}  // namespace

std::optional<Xml::TextPosition> XmlErrorPosition(const Error& error) {
    BaseString message = error.GetText();
    std::u16string_view text = message.view();
    size_t tag = text.find(u"xml-parser-");
    size_t open = text.find(u'(', tag == text.npos ? text.size() : tag);
    if (open == text.npos) {
        return std::nullopt;
    }
    int32_t numbers[2] = {0, 0};
    size_t i = open + 1;
    for (int32_t& number : numbers) {
        size_t digits = 0;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++digits) {
            number = number * 10 + (text[i] - u'0');
        }
        if (digits == 0 || i == text.size() || text[i] != (&number == numbers ? u':' : u')')) {
            return std::nullopt;
        }
        ++i;
    }
    return Xml::TextPosition{numbers[0], numbers[1]};
}

namespace {

// A language element's name: "L" and four lower-case hexadecimal digits.
bool IsLanguageName(std::u16string_view name) {
    return name.size() == 5 && name[0] == u'L' &&
           name.substr(1).find_first_not_of(u"0123456789abcdef") == std::u16string_view::npos;
}

class ProblemFindings final : public DataFileProblems {
public:
    ProblemFindings(const Medium& medium, Findings& findings)
        : medium_(medium), findings_(findings) {}

    void Report(const Ref<Xml::Node>& node, DataFileFault fault, const Error& error) override {
        findings_.Error(kDataFileName, medium_.DataPosition(node),
                        Sentence(error.GetText(), FaultDetail(node, fault)));
    }

private:
    const Medium& medium_;
    Findings& findings_;
};

}  // namespace

Medium::Medium(Findings& findings) {
    ReadTemplate(findings);
    ReadData(findings);
}

Xml::TextPosition Medium::DataPosition(const Ref<Xml::Node>& node) const {
    return positions_.Find(node).value_or(kFileStart);
}

void Medium::ReadTemplate(Findings& findings) {
    try {
        Ref<Io::File> file;
        template_text_ = ReadTemplateFile(file);
    } catch (const Error& error) {
        findings.Error(kTemplateFileName, kFileStart, error.GetText());
        return;
    }
    has_template_ = true;
    lines_.emplace(template_text_.view());
    std::vector<TemplateProblem> problems;
    segments_ = ParseTemplate(template_text_, problems);
    for (const TemplateProblem& problem : problems) {
        findings.Error(kTemplateFileName, TemplatePosition(problem.at), SyntaxMessage(problem));
    }
}

void Medium::ReadData(Findings& findings) {
    try {
        document_ = Xml::ReadFileNotingPositions(BaseString(kDataFileName), positions_);
    } catch (const Error& error) {
        findings.Error(kDataFileName, XmlErrorPosition(error).value_or(kFileStart),
                       error.GetText());
        return;
    }
    ProblemFindings problems(*this, findings);
    Ref<Xml::ParentNode> content = ReadContent(document_, &problems);
    if (!content) {
        return;
    }
    ReadLanguages(content, findings, problems);
    if (Ref<Xml::Node> data = ReadDataSection(content, &problems)) {
        items_ = ReadDataItems(data, &problems);
    }
}

void Medium::ReadLanguages(const Ref<Xml::ParentNode>& content, Findings& findings,
                           DataFileProblems& problems) {
    std::set<BaseString> seen;
    for (const Ref<Xml::Node>& node : LanguageElements(content)) {
        if (node->kind() != Xml::kElementKind) {
            continue;
        }
        BaseString name = node->value();
        if (!IsLanguageName(name.view())) {
            findings.Warning(kDataFileName, DataPosition(node),
                             Quoted(name.view()) +
                                 u" is never chosen: a language element is named \"L\" and the "
                                 u"language identifier in four lower-case hexadecimal digits");
            continue;
        }
        if (!seen.insert(name).second) {
            findings.Warning(kDataFileName, DataPosition(node),
                             u"a second " + Quoted(name.view()) +
                                 u" is never chosen: only the first element of a language counts");
            continue;
        }
        MediumLanguage language{name, node, {}, {}};
        language.strings = ReadLanguageStrings(node, &problems, &language.defined);
        languages_.push_back(std::move(language));
    }
}
