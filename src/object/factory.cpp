#include "object/factory.h"

namespace Object {

bool ClassRecord::Implements(const BaseString& iid) const {
    for (const BaseString& known : interfaces) {
        if (known == iid) {
            return true;
        }
    }
    return false;
}

BaseString ClassKey(const BaseString& clsid) {
    size_t bar = clsid.Find(u'|');
    return bar == BaseString::npos ? BaseString() : clsid.Substr(0, bar);
}

bool ClassMatches(const BaseString& clsid, const BaseString& pattern) {
    if (pattern.empty()) {
        return true;
    }
    if (pattern.Find(u'|') == BaseString::npos) {
        return clsid == pattern;
    }
    std::u16string_view id = clsid.view();
    std::u16string_view wanted = pattern.view();
    for (;;) {
        size_t id_bar = id.find(u'|');
        size_t wanted_bar = wanted.find(u'|');
        std::u16string_view wanted_segment = wanted.substr(0, wanted_bar);
        if (!wanted_segment.empty() && wanted_segment != id.substr(0, id_bar)) {
            return false;
        }
        if (wanted_bar == std::u16string_view::npos || id_bar == std::u16string_view::npos) {
            return wanted_bar == id_bar;
        }
        id.remove_prefix(id_bar + 1);
        wanted.remove_prefix(wanted_bar + 1);
    }
}

Ref<BaseFace> CreateByStaticFactory(StaticFactory& factory, const BaseString& clsid,
                                    const Iid& iid) {
    Ref<BaseFace> made = factory.Create(clsid);
    if (!made) {
        return {};
    }
    return Ref<BaseFace>::Adopt(made->QueryFace(&iid));
}

}  // namespace Object
