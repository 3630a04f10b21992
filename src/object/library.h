#pragma once

#include <set>
#include <vector>

#include "base/string.h"
#include "object/factory.h"

namespace Object {

inline constexpr char16_t kLibraryCreatorClsid[] = u"CID_Object::Library_Creator";

// A plug-in library: a factory for the classes of one plug-in file, which it
// loads on the first create call and unloads again when the cleanup manager
// finds it idle. Its class records and keys are cached, so it answers what it
// serves without loading, also while unloaded. It is also a dynamic factory for
// the cached keys and a cleanup item.
class Library : public StaticFactory {
public:
    static constexpr Iid kIid{u"IID_Object::Library"};
    using Parent = StaticFactory;

    // The stamp of the library's file (see Creator::GetFileStamp) when the last
    // load attempt was definitive, else "".
    virtual BaseString GetFileStamp() = 0;
    virtual BaseString GetPath() = 0;

    class Creator;
};

// Makes libraries ("CID_Object::Library_Creator", a new creator per request).
class Library::Creator : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Object::Library::Creator"};
    using Parent = BaseFace;

    // The library of a file, loaded at once when it can be; none when the file is
    // not a plug-in library. A file that is one but cannot be loaded now gives an
    // unloaded library, whose create calls try again.
    virtual Ref<Library> CreateLibrary(const BaseString& path) = 0;
    // An unloaded library answering from the given cache.
    virtual Ref<Library> CreateLibraryFromCache(const BaseString& path,
                                                const std::vector<ClassRecord>& records,
                                                const std::set<BaseString>& keys) = 0;
    // The file's last-write time as "%08x%08x" (low 32 bits, then high 32 bits
    // of the 64-bit file time), "" when there is no file.
    virtual BaseString GetFileStamp(const BaseString& path) = 0;
};

}  // namespace Object
