#include "object/service_factory.h"
#include "xml/finder.h"
#include "xml/node_handles.h"
#include "xml/path_search.h"

namespace Xml {

namespace {

std::vector<DomNode*> FindRecordsOf(const Ref<ParentNode>& context, const BaseString& query,
                                    bool first_only) {
    Ref<NodeRecord> holder = Cast<NodeRecord>(context, "xml");
    std::vector<DomNode*> found;
    FindRecords(holder->record(), query, first_only, found);
    return found;
}

}  // namespace

// The finder has no state: its factory is the finder ("CID_Xml::Finder").
class FinderFactory final : public Object::ServiceFactory<FinderFactory, Finder> {
public:
    static constexpr const char16_t* kServiceClsids[] = {kFinderClsid};

    Ref<Node> findFirst(const Ref<ParentNode>& context, const BaseString& query) override {
        std::vector<DomNode*> found = FindRecordsOf(context, query, true);
        return found.empty() ? nullptr : MakeHandle(*found.front());
    }
    std::vector<Ref<Node>> findAll(const Ref<ParentNode>& context,
                                   const BaseString& query) override {
        std::vector<Ref<Node>> handles;
        for (DomNode* record : FindRecordsOf(context, query, false)) {
            handles.push_back(MakeHandle(*record));
        }
        return handles;
    }
};

namespace {
Object::FactoryRegistration registration{Object::New<FinderFactory>()};
}

}  // namespace Xml
