#pragma once

#include "base/export.h"

// The one function of the library the "load_fails" plug-in needs.
ORV_EXPORT int DependencyValue();
