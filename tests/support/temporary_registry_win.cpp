#include "temporary_registry.h"

void UseTemporaryRegistry() {}
