#pragma once

#include <vector>

#include "object/factory.h"
#include "object/impl.h"

namespace Object {

// A stateless service that is its own factory: creating one of the class
// identifiers it names gives the one service object. The class names them
//   static constexpr const char16_t* kServiceClsids[] = {kReaderClsid, kWriterClsid};
// and may serve other classes, made anew on each request, by defining
//   static void DescribeOthers(std::vector<ClassRecord>& records);
//   Ref<BaseFace> CreateOther(const BaseString& clsid);  // empty when not served
template <class Class, class... Faces>
class ServiceFactory : public Impl<Class, StaticFactory, Faces...> {
public:
    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) final {
        return CreateByStaticFactory(*this, clsid, iid);
    }
    Ref<BaseFace> Create(const BaseString& clsid) final {
        for (const char16_t* served : Class::kServiceClsids) {
            if (clsid == served) {
                return Ref<BaseFace>::Share(this->PrimaryFace());
            }
        }
        if constexpr (requires(Class & self) { self.CreateOther(clsid); }) {
            return static_cast<Class*>(this)->CreateOther(clsid);
        }
        return {};
    }
    void Describe(std::vector<ClassRecord>& records) final {
        for (const char16_t* served : Class::kServiceClsids) {
            records.push_back({BaseString(served), Class::InterfaceIds()});
        }
        if constexpr (requires { Class::DescribeOthers(records); }) {
            Class::DescribeOthers(records);
        }
    }
};

}  // namespace Object
