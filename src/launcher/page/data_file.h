#pragma once

#include <map>
#include <vector>

#include "base/string.h"
#include "error/error.h"
#include "launcher/page/page_builder.h"
#include "object/ref.h"
#include "xml/node.h"

// The pieces of reading the data file "autorun.xml" (its "content" element,
// the "translations" section with one element per language, the "data" section
// with the items), shared by the page builder and the page tool's check.

// What is wrong with a data file.
enum class DataFileFault {
    kNotOneContent,  // the document holds more than, or other than, one "content"
    kEmptyContent,   // "content" has no child nodes
    kNotAString,     // a language element holds a node not named "string"
    kStringNotElement,
    kDuplicateKey,   // a second string with the same id in a language element
    kNoDataSection,  // "content" has no child named "data"
    kNotAnItem,      // text, CDATA or a comment below "data"
};

// Where the reading reports what the launcher would fail on: the error, what
// is wrong, and the node it is about. The reading then leaves that node out
// and goes on. Without a receiver the first error is thrown.
class DataFileProblems {
public:
    virtual void Report(const Ref<Xml::Node>& node, DataFileFault fault, const Error& error) = 0;

protected:
    ~DataFileProblems() = default;
};

// The document's one node, "content", which must have child nodes: the
// language-file error otherwise (reported at the first node that does not fit,
// and then empty).
Ref<Xml::ParentNode> ReadContent(const Ref<Xml::Document>& document, DataFileProblems* problems);

// The language elements: the child nodes of "translations" when that is the
// first child node of "content"; none otherwise.
std::vector<Ref<Xml::Node>> LanguageElements(const Ref<Xml::ParentNode>& content);

// The strings of a language element: "#id#" -> value. Every child node must be
// a "string" element with a key of its own: the language-file error otherwise.
// Given `elements`, the element of every key read goes there.
TranslationMap ReadLanguageStrings(const Ref<Xml::Node>& language, DataFileProblems* problems,
                                   std::map<BaseString, Ref<Xml::Element>>* elements = nullptr);

// The first child node of "content" named "data": the data-file error
// (reported at "content") when there is none.
Ref<Xml::Node> ReadDataSection(const Ref<Xml::ParentNode>& content, DataFileProblems* problems);

// The items below the data section, in document order. Every node there must
// be an element: "Cast<IID_Xml::ParentNode>" otherwise.
std::vector<PageItem> ReadDataItems(const Ref<Xml::Node>& data, DataFileProblems* problems);
