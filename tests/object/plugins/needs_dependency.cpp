// Makes the plug-in need the dependency library when it is loaded.
#include "dependency.h"
#include "marks.h"

namespace {

struct UseDependency {
    UseDependency() {
        if (DependencyValue() != 7) {
            Mark("wrong dependency");
        }
    }
} use_dependency;

}  // namespace
