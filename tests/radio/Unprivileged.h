#pragma once
// Root opens any device and writes any file, which hides what an ordinary user meets: a port
// owned by another group, a read-only file. RunUnprivileged runs a check as such a user:
// directly when the tests already run as one, otherwise in a forked child that has dropped
// root for "nobody". Paths in `handOver` are given to that user first, as a user's own files
// would be.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

inline void RunUnprivileged(const std::function<void()>& check,
                            const std::vector<std::string>& handOver = {}) {
    if (::geteuid() != 0) {
        check();
        return;
    }
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr) << "no user \"nobody\" to run the check as";
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    for (const std::string& path : handOver)
        ASSERT_EQ(::chown(path.c_str(), uid, gid), 0) << path;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 ||
            ::setresuid(uid, uid, uid) != 0)
            ::_exit(2);
        check();
        std::fflush(stdout);
        // The child's failures were printed by its own copy of the test; its status tells.
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the check run as nobody failed (wait status " << status << ")";
}
