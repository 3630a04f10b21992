#pragma once

#include "object/ref.h"

namespace Object {

// Marks classes that are created once at module start; they do their work in
// their constructor.
class Startup : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Object::Startup"};
    using Parent = BaseFace;
};

// Starts the component runtime of this module (a second call does nothing):
// adds every registered factory to the manager, then creates each class that
// declares IID_Object::Startup once, ignoring the ones that fail. Module stop
// follows at process exit.
void ModuleStart();

// Releases what module start built; called at process exit.
void ModuleStop();

bool IsModuleStarted();

}  // namespace Object
