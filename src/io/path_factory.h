#pragma once

#include <cstdint>

#include "io/path.h"
#include "object/ref.h"
#include "object/value.h"

namespace Io::Fs {

inline constexpr char16_t kPathFactoryClsid[] = u"CID_Io::Fs::PathFactory";

// Source kinds of PathFactory::create.
inline constexpr int32_t kPathFromName = 0;
inline constexpr int32_t kPathOfModule = 1;

// Makes paths. Creating "CID_Io::Fs::PathFactory" gives the one factory.
class PathFactory : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Fs::PathFactory"};
    using Parent = BaseFace;

    // kPathFromName: the source is a path name (a string; anything else is the
    // empty name, which is the current directory). kPathOfModule: the file of the
    // module loaded under the name, or of the module handle, or else of the
    // program. "bad-pathtype(%d)" for other kinds. A name that is not a valid
    // path gives none when `quiet`, else "badpath '%s'".
    virtual Ref<Path> create(int32_t kind, const Value& source, bool quiet) = 0;
};

// The path of a name, through the path factory ("badpath '%s'" for a bad name).
Ref<Path> PathFromName(const BaseString& name);

}  // namespace Io::Fs
