#include "platform/win/Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(Shell, OpenURLRecordsInHeadlessModeAndRefusesUnsafeText) {
    ::setenv("PANE_BACKEND", "headless", 1);
    EXPECT_TRUE(plat::OpenURL("http://www.example.com/"));
    EXPECT_EQ(plat::LastOpenedURL(), "http://www.example.com/");
    EXPECT_FALSE(plat::OpenURL(""));
    EXPECT_FALSE(plat::OpenURL("--help"));
    EXPECT_FALSE(plat::OpenURL("http://a\nb"));
    EXPECT_EQ(plat::LastOpenedURL(), "http://www.example.com/");
}

TEST(Shell, OpenURLFailsWithoutARunningBackend) {
    ::unsetenv("PANE_BACKEND");
    EXPECT_FALSE(plat::OpenURL("http://www.example.org/"));
}

} // namespace
