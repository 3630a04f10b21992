// The reader over the input as UTF-8 text: readString, and the same text from
// sources that cut it into small chunks, must agree on the tree or the error;
// read with node positions, the same again, with a position inside the text
// for every node.
#include <cstddef>
#include <cstdint>

#include "chunk_streams.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/node_positions.h"
#include "xml/reader.h"
#include "xml_fuzz_support.h"

namespace {

bool EveryNodePlaced(const Ref<Xml::Node>& node, const Xml::NodePositions& positions,
                     size_t length) {
    if (node->kind() != Xml::kDocumentKind) {
        std::optional<Xml::TextPosition> at = positions.Find(node);
        if (!at || at->line < 1 || at->column < 1 || static_cast<size_t>(at->column) > length) {
            return false;
        }
    }
    if (Ref<Xml::ParentNode> parent = SoftCast<Xml::ParentNode>(node)) {
        for (const Ref<Xml::Node>& child : parent->children()) {
            if (!EveryNodePlaced(child, positions, length)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    static Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(Xml::kReaderClsid);
    BaseString text = BaseString::FromUtf8({reinterpret_cast<const char*>(data), size});
    std::u16string whole = Outcome([&] { return reader->readString(text); });
    for (size_t chunk_size : {1, 7}) {
        if (Outcome([&] { return reader->readSource(TextSourceOf(text, chunk_size)); }) != whole) {
            __builtin_trap();
        }
    }
    Xml::NodePositions positions;
    bool placed = true;
    std::u16string noted = Outcome([&] {
        Ref<Xml::Document> document = Xml::ReadStringNotingPositions(text, positions);
        placed = EveryNodePlaced(document, positions, text.length());
        return document;
    });
    if (noted != whole || !placed) {
        __builtin_trap();
    }
    return 0;
}
