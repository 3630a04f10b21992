#pragma once

#include <map>
#include <optional>
#include <vector>

#include "base/string.h"
#include "check/findings.h"
#include "error/error.h"
#include "launcher/page/data_file.h"
#include "launcher/page/page_builder.h"
#include "launcher/page/template_parser.h"
#include "object/ref.h"
#include "xml/node.h"
#include "xml/node_positions.h"

// The line and column an XML syntax error names, as in
// "xml-parser-syntax-struc(3:7)"; none when it names none.
std::optional<Xml::TextPosition> XmlErrorPosition(const Error& error);

// A language element the launcher can choose, with its strings.
struct MediumLanguage {
    BaseString name;  // "L0409"
    Ref<Xml::Node> element;
    TranslationMap strings;                           // "#id#" -> text
    std::map<BaseString, Ref<Xml::Element>> defined;  // "#id#" -> its string element
};

// The medium in the current directory, read as the launcher reads it, with
// where everything stands in its files. Reading it adds every error that would
// stop the launcher to the findings, and goes on past each.
class Medium {
public:
    explicit Medium(Findings& findings);

    // The template, unless it could not be read; the segments are those of the
    // parse that goes on past syntax errors.
    bool has_template() const { return has_template_; }
    const BaseString& template_text() const { return template_text_; }
    const std::vector<TemplateSegment>& segments() const { return segments_; }
    Xml::TextPosition TemplatePosition(size_t offset) const { return lines_->At(offset); }

    // The data file, unless it could not be read.
    bool has_data() const { return static_cast<bool>(document_); }
    const std::vector<MediumLanguage>& languages() const { return languages_; }
    const std::vector<PageItem>& items() const { return items_; }
    Xml::TextPosition DataPosition(const Ref<Xml::Node>& node) const;

private:
    void ReadTemplate(Findings& findings);
    void ReadData(Findings& findings);
    void ReadLanguages(const Ref<Xml::ParentNode>& content, Findings& findings,
                       DataFileProblems& problems);

    bool has_template_ = false;
    BaseString template_text_;
    std::vector<TemplateSegment> segments_;
    std::optional<TextLines> lines_;

    Xml::NodePositions positions_;
    Ref<Xml::Document> document_;
    std::vector<MediumLanguage> languages_;
    std::vector<PageItem> items_;
};
