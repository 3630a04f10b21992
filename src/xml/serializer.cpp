#include "xml/serializer.h"

#include <vector>

#include "base/format.h"
#include "error/error.h"
#include "xml/name_chars.h"
#include "xml/node.h"

namespace Xml {

namespace {

void AppendEscaped(BaseString& out, std::u16string_view text, bool in_attribute) {
    size_t plain_from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        std::u16string_view replacement;
        if (text[i] == u'&') {
            replacement = u"&amp;";
        } else if (text[i] == u'<') {
            replacement = u"&lt;";
        } else if (text[i] == u'"' && in_attribute) {
            replacement = u"&quot;";
        } else {
            continue;
        }
        out.Append(text.substr(plain_from, i - plain_from));
        out.Append(replacement);
        plain_from = i + 1;
    }
    out.Append(text.substr(plain_from));
}

void RequireName(std::u16string_view name) {
    if (!IsValidName(name)) {
        throw Error::Internal("xml-writer-comment", "xml");
    }
}

// A comment ends at its first "--", which must be followed by ">": so the text
// may hold no "--" and may not end with "-".
void RequireReadableComment(std::u16string_view text) {
    if (text.find(u"--") != std::u16string_view::npos || text.ends_with(u'-')) {
        throw Error::Internal("xml-writer-comment", "xml");
    }
}

// The reader ends a CDATA section at "]]>", taking the "]" in threes: the text
// may hold no "]]>", and a run of "]" at its end must be a multiple of three
// long, or the closing "]]>" would be read as text.
void RequireReadableCdata(std::u16string_view text) {
    size_t last = text.find_last_not_of(u']');
    size_t trailing = text.size() - (last == std::u16string_view::npos ? 0 : last + 1);
    if (text.find(u"]]>") != std::u16string_view::npos || trailing % 3 != 0) {
        throw Error::Internal("xml-writer-cdata", "xml");
    }
}

class Serializer {
public:
    explicit Serializer(Io::Text::Sink& sink) : sink_(sink) {}

    void Write(const DomNode& document, std::u16string_view encoding) {
        sink_.write(Base::Format("<?xml version=\"1.0\" encoding=\"%s\"?>", encoding));
        for (const DomNode* child = document.first_child(); child; child = child->next_sibling()) {
            WriteSubtree(*child);
        }
    }

private:
    // An element whose children are being written.
    struct OpenElement {
        const DomNode* element;
        const DomNode* next_child;
        bool previous_was_text;
    };

    // Without recursion: trees may be very deep.
    void WriteSubtree(const DomNode& top) {
        Start(top, true);
        while (!open_.empty()) {
            OpenElement& open = open_.back();
            if (const DomNode* child = open.next_child) {
                bool line_break = !open.previous_was_text;
                open.next_child = child->next_sibling();
                open.previous_was_text = child->kind() == kTextKind;
                Start(*child, line_break);
                continue;
            }
            BaseString piece;
            if (!open.previous_was_text) {
                AppendLineBreak(piece, open_.size() - 1);
            }
            piece.Append(u"</").Append(open.element->value()).Append(u'>');
            open_.pop_back();
            sink_.write(piece);
        }
    }

    // Writes a node, or the start of an element with children, whose end comes
    // once they are written.
    void Start(const DomNode& node, bool line_break) {
        if (line_break && node.kind() != kTextKind) {
            BaseString piece;
            AppendLineBreak(piece, open_.size());
            sink_.write(piece);
        }
        BaseString piece;
        switch (node.kind()) {
            case kElementKind:
                RequireName(node.value());
                piece.Append(u'<').Append(node.value());
                for (const DomNode::Attribute& attribute : node.attributes()) {
                    RequireName(attribute.name());
                    piece.Append(u' ').Append(attribute.name()).Append(u"=\"");
                    AppendEscaped(piece, attribute.value(), true);
                    piece.Append(u'"');
                }
                piece.Append(node.first_child() ? u">" : u"/>");
                sink_.write(piece);
                if (node.first_child()) {
                    open_.push_back({&node, node.first_child(), false});
                } else {
                    sink_.write(BaseString());
                }
                return;
            case kTextKind:
                AppendEscaped(piece, node.value(), false);
                break;
            case kCdataKind:
                RequireReadableCdata(node.value());
                piece.Append(u"<![CDATA[").Append(node.value()).Append(u"]]>");
                break;
            default:
                RequireReadableComment(node.value());
                piece.Append(u"<!--").Append(node.value()).Append(u"-->");
                break;
        }
        sink_.write(piece);
    }

    static void AppendLineBreak(BaseString& piece, size_t indent) {
        piece.Append(u'\n');
        for (size_t i = 0; i < indent; ++i) {
            piece.Append(u"  ");
        }
    }

    Io::Text::Sink& sink_;
    std::vector<OpenElement> open_;
};

}  // namespace

void WriteDocument(const DomNode& document, std::u16string_view encoding, Io::Text::Sink& sink) {
    Serializer(sink).Write(document, encoding);
}

}  // namespace Xml
