#include "dependency.h"

int DependencyValue() {
    return 7;
}
