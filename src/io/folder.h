#pragma once

#include <vector>

#include "base/string.h"
#include "object/ref.h"

namespace Io {

// An existing folder.
class Folder : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Folder"};
    using Parent = BaseFace;

    class Filter;

    // The names of the entries that match the pattern ("*.*" when empty) and that
    // the filter, when given, accepts; "." and ".." never. In the platform's
    // enumeration order; empty when the folder cannot be enumerated.
    virtual std::vector<BaseString> list(const BaseString& pattern, const Ref<Filter>& filter) = 0;
};

class Folder::Filter : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Folder::Filter"};
    using Parent = BaseFace;

    virtual bool accept(const BaseString& name) = 0;
};

}  // namespace Io
