// The shared Xvfb helper: servers started side by side get displays of their own that clients
// reach with the asked size, and stopping one ends its process.
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

using zelta::test::XvfbServer;

TEST(XvfbServerTest, ServersSideBySideHaveTheirOwnDisplaysAndStopForGood) {
    if (!zelta::test::DesktopToolsReady())
        return;
    const std::string xdotool = zelta::test::FindProgram("xdotool");
    XvfbServer first, second;
    XvfbServer::Options small;
    small.width = 640;
    small.height = 480;
    ASSERT_TRUE(first.Start(small)) << first.Error();
    ASSERT_TRUE(second.Start()) << second.Error();
    EXPECT_NE(first.Display(), second.Display());

    const auto geometry = [&](const XvfbServer& server) {
        int status = -1;
        const std::string out = zelta::test::ProgramOutput(
            "/usr/bin/env", {"DISPLAY=" + server.Display(), xdotool, "getdisplaygeometry"},
            &status);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "failed: " + out;
    };
    EXPECT_EQ(geometry(first), "640 480\n");
    EXPECT_EQ(geometry(second), "1024 768\n");

    const pid_t pid = first.Pid();
    first.Stop();
    EXPECT_FALSE(first.Running());
    EXPECT_TRUE(first.Display().empty());
    EXPECT_NE(::kill(pid, 0), 0); // gone and reaped
    EXPECT_EQ(geometry(second), "1024 768\n");
}

} // namespace
