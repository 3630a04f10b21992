// Write then read: every document the reader accepts from the input (as UTF-8
// text) is written, and reading that back must give the same tree once
// adjacent texts are merged; writing it again must give the same text. The
// reader takes "]" in threes inside CDATA, so it accepts sections holding
// "]]>", which the writer refuses; that refusal is the only one allowed. The
// writer leaves text as it is and the reader drops whitespace between markup,
// so a text of whitespace only beside other nodes (from "&#32;") is not
// carried: it is left out of the comparison.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "object/manager.h"
#include "object/system.h"
#include "xml/reader.h"
#include "xml/writer.h"
#include "xml_fuzz_support.h"

namespace {

bool IsWhitespaceOnly(const BaseString& text) {
    return text.view().find_first_not_of(u" \t\r\n") == std::u16string_view::npos;
}

// Removes the texts of whitespace only that share their element with other nodes.
void DropSeparatingWhitespace(const Ref<Xml::ParentNode>& parent) {
    std::vector<Ref<Xml::Node>> children = parent->children();
    for (const Ref<Xml::Node>& child : children) {
        if (children.size() > 1 && child->kind() == Xml::kTextKind &&
            IsWhitespaceOnly(child->value())) {
            parent->removeChild(child);
        } else if (Ref<Xml::ParentNode> inner = SoftCast<Xml::ParentNode>(child)) {
            DropSeparatingWhitespace(inner);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    static Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(Xml::kReaderClsid);
    static Ref<Xml::Writer> writer = Object::Create<Xml::Writer>(Xml::kWriterClsid);
    Ref<Xml::Document> document;
    try {
        document =
            reader->readString(BaseString::FromUtf8({reinterpret_cast<const char*>(data), size}));
    } catch (const Error&) {
        return 0;
    }
    DropSeparatingWhitespace(document);
    BaseString written;
    try {
        written = writer->writeString(document);
    } catch (const Error& error) {
        if (error.GetText().Find(u"xml-writer-cdata") == BaseString::npos) {
            __builtin_trap();
        }
        return 0;
    }
    document->rootElement()->normalize(Xml::NormalizeFlags::kMergeTexts);
    Ref<Xml::Document> again = reader->readString(written);
    if (Outcome([&] { return again; }) != Outcome([&] { return document; }) ||
        writer->writeString(again) != written) {
        __builtin_trap();
    }
    return 0;
}
