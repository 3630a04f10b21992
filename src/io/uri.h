#pragma once

#include <map>

#include "base/string.h"
#include "object/ref.h"

namespace Io {

// The components of a URI by number: 0 the scheme, 3 the host, 5 the path, ...
using UriComponents = std::map<int, BaseString>;

// A URI, made by the component of class "CID_Io::Uri_Creator".
class Uri : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Uri"};
    using Parent = BaseFace;

    class Creator;

    virtual UriComponents components() = 0;
};

class Uri::Creator : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Uri::Creator"};
    using Parent = BaseFace;

    virtual Ref<Uri> create(const UriComponents& components) = 0;
};

inline constexpr char16_t kUriCreatorClsid[] = u"CID_Io::Uri_Creator";

// An object that can name itself by a URI.
class UriEnabled : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::UriEnabled"};
    using Parent = BaseFace;

    virtual Ref<Uri> uri() = 0;
};

namespace UriScheme {

// Makes the object a URI of one scheme names. The handler of a scheme is
// registered under "Io::UriScheme::Handler|" followed by the scheme.
class Factory : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::UriScheme::Factory"};
    using Parent = BaseFace;

    virtual Ref<UriEnabled> create(const UriComponents& components) = 0;
};

}  // namespace UriScheme

}  // namespace Io
