// Entry point of every test program: binds the engine's system operations as
// the product does, then runs the tests.
#include "engine/ops.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    BindEngineOps();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
