// The program's own runtime failures (shell/runtime.cpp): what the library
// cannot do ends the process at once, never silently.
#include <gtest/gtest.h>

#include <new>
#include <string>

TEST(Runtime, WhatTheLibraryCannotDoEndsTheProgram)
{
    EXPECT_DEATH(static_cast<void>(operator new(std::size_t(-1) / 2)), "");
    EXPECT_DEATH(std::string(std::string::npos / 2, 'x'), "");
    EXPECT_EQ(operator new(std::size_t(-1) / 2, std::nothrow), nullptr);
}
