#pragma once

#include <vector>

#include "base/string.h"
#include "object/factory.h"
#include "object/ref.h"

namespace Object {

// The process's object manager: creates objects by class identifier.
class Manager : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Object::Manager"};
    using Parent = BaseFace;

    // The object as the asked interface; "clsid-not-found(%s)" when no factory
    // makes it or it lacks the interface.
    virtual Ref<BaseFace> Create(const BaseString& clsid, const Iid& iid) = 0;
    virtual bool HasClass(const BaseString& clsid) = 0;
    // "clsid-not-found(%s)" when no factory serves the identifier.
    virtual ClassRecord DescribeClass(const BaseString& clsid) = 0;
    virtual void ListClasses(std::vector<ClassRecord>& records, const BaseString& pattern,
                             const BaseString& iid) = 0;
    virtual void AddFactory(const Ref<Factory>& factory) = 0;
};

inline constexpr char16_t kManagerClsid[] = u"CID_Object::Manager";

// The process-wide manager (a weak singleton; module start keeps it alive).
Ref<Manager> GetManager();

// A new manager with its own factories (the process-wide one is made this way).
Ref<Manager> NewManager();

// Creates an object through the process-wide manager, as interface T.
template <class T>
Ref<T> Create(const BaseString& clsid) {
    return Ref<T>::Adopt(static_cast<T*>(GetManager()->Create(clsid, T::kIid).Detach()));
}

// Creates an object through the given manager, as interface T.
template <class T>
Ref<T> CreateWith(Manager& manager, const BaseString& clsid) {
    return Ref<T>::Adopt(static_cast<T*>(manager.Create(clsid, T::kIid).Detach()));
}

}  // namespace Object
