#include "xml/node_positions.h"

#include "xml/node_handles.h"

namespace Xml {

std::optional<TextPosition> NodePositions::Find(const Ref<Node>& node) const {
    auto found = positions_.find(RecordOf(node));
    if (found == positions_.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace Xml
