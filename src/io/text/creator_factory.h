#pragma once

#include <vector>

#include "object/factory.h"
#include "object/impl.h"

namespace Io::Text {

// A stateless creator that is its own factory: creating its class identifier
// (Class::kClsid) gives the one creator object.
template <class Class, class Creator>
class CreatorFactory : public Object::Impl<Class, Object::StaticFactory, Creator> {
public:
    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) final {
        return Object::CreateByStaticFactory(*this, clsid, iid);
    }
    Ref<BaseFace> Create(const BaseString& clsid) final {
        return clsid == Class::kClsid ? Ref<BaseFace>::Share(this->PrimaryFace()) : nullptr;
    }
    void Describe(std::vector<Object::ClassRecord>& records) final {
        records.push_back({BaseString(Class::kClsid), Class::InterfaceIds()});
    }
};

}  // namespace Io::Text
