#include <gtest/gtest.h>

#include "object/system.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Object::ModuleStart();
    return RUN_ALL_TESTS();
}
