#include "engine/os_variant.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

TEST(OsVariant, Classification)
{
    const unsigned NT = VER_PLATFORM_WIN32_NT, W9X = VER_PLATFORM_WIN32_WINDOWS;
    const unsigned X86 = PROCESSOR_ARCHITECTURE_INTEL, AMD64 = PROCESSOR_ARCHITECTURE_AMD64,
                   IA64 = PROCESSOR_ARCHITECTURE_IA64, ARM64 = 12;
    struct Case {
        unsigned platform, major, arch;
        int variant;
    } cases[] = {
        {NT, 5, X86, 1},   {NT, 4, X86, 1},   {NT, 5, AMD64, 2}, {NT, 5, IA64, 2},  {NT, 3, AMD64, 2},
        {NT, 6, X86, 3},   {NT, 6, AMD64, 4}, {NT, 6, IA64, 4},  {NT, 10, X86, 3},  {NT, 10, AMD64, 4},
        {NT, 6, ARM64, 3}, {NT, 5, ARM64, 1}, {W9X, 4, X86, 0},  {W9X, 4, AMD64, 0}, {0, 3, X86, 1},
        {3, 6, AMD64, 1},  {7, 10, AMD64, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "platform " << c.platform << " major " << c.major << " arch "
                                        << c.arch);
        EXPECT_EQ(ClassifyOsVariant(c.platform, c.major, c.arch), c.variant);
    }
}

// The runner starts this program under different Windows versions (Wine's
// per-program Version setting) and says which variant each must detect.
TEST(OsVariant, DetectsTheRunningWindows)
{
    const char* expect = std::getenv("KORVA_EXPECT_VARIANT");
    ASSERT_NE(expect, nullptr) << "the test runner sets KORVA_EXPECT_VARIANT";
    EXPECT_EQ(DetectOsVariant(), std::atoi(expect));
    EXPECT_EQ(IsNative64Bit(), 1);
}

TEST(OsVariant, DriverEnvironmentIsNamedOnlyUnderWow64)
{
    const char* x64 = "Windows x64";
    EXPECT_EQ(ChooseDriverEnvironment(false, x64), nullptr);
    EXPECT_STREQ(ChooseDriverEnvironment(true, x64), x64);
    // This 64-bit test program is native.
    EXPECT_FALSE(RunningUnderWow64());
}
