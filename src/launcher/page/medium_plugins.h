#pragma once

#include <optional>
#include <vector>

#include "base/string.h"
#include "object/factory.h"
#include "object/library.h"
#include "object/ref.h"

// The medium's own plug-in libraries: the "*.so" files ("*.dll" on Windows) of
// the folder "rsc/plugins" in the current directory. Their classes are served
// through the process's object manager for as long as this object lives (the
// manager holds libraries only weakly). A medium without the folder has none.
class MediumPlugins {
public:
    // Creates a library for every file of the folder in name order and adds each
    // plug-in library to the object manager, so that a class served by several
    // is served by the first. Files that are not plug-in libraries are skipped;
    // a library that cannot be loaded serves nothing. Never throws.
    static MediumPlugins Load();

    struct Served {
        BaseString file;  // "rsc/plugins/<name>"
        Object::ClassRecord record;
    };
    // The first library, in the order of loading, that serves the class; none
    // when no library does.
    std::optional<Served> FindClass(const BaseString& clsid) const;

private:
    struct Plugin {
        BaseString file;
        Ref<Object::Library> library;
    };
    std::vector<Plugin> plugins_;
};
