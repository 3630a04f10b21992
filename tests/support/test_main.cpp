#include <gtest/gtest.h>

#include "object/system.h"
#include "temporary_registry.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    UseTemporaryRegistry();
    Object::ModuleStart();
    return RUN_ALL_TESTS();
}
