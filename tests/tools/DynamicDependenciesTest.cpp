// The command-line tool and the simulated radio run on machines without a display: neither may
// need a display, windowing or font library at run time, directly or through another library.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const kDisplayLibraries[] = {"libSDL2",     "libX11",        "libxcb",
                                         "libfreetype", "libfontconfig", "libwayland"};

// The shared libraries the dynamic loader would load for the program, as ldd lists them.
std::string SharedLibrariesOf(const std::string& program, int* status) {
    std::string output;
    FILE* pipe = ::popen(("ldd '" + program + "' 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        *status = -1;
        return output;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int raw = ::pclose(pipe);
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

std::string DisplayLibrariesIn(const std::string& list) {
    std::string found;
    for (const char* name : kDisplayLibraries)
        if (list.find(name) != std::string::npos)
            found += std::string(found.empty() ? "" : " ") + name;
    return found;
}

TEST(DynamicDependencies, CommandLineToolAndSimulatorNeedNoDisplayLibrary) {
    for (const char* name : {"zelta-rct-cli", "zelta-radiosim"}) {
        const std::string program = std::string(ZELTA_BIN_DIR) + "/" + name;
        ASSERT_EQ(::access(program.c_str(), X_OK), 0) << program << " is not built";
        int status = 0;
        const std::string list = SharedLibrariesOf(program, &status);
        ASSERT_EQ(status, 0) << list;
        ASSERT_NE(list.find("libc.so"), std::string::npos) << list;
        EXPECT_EQ(DisplayLibrariesIn(list), "") << name << " needs:\n" << list;
    }
}

// The same reading of a windowed program does find them, so the check above can fail.
TEST(DynamicDependencies, WindowedProgramIsSeenToNeedThem) {
    const std::string program = std::string(ZELTA_BIN_DIR) + "/plat-demo";
    ASSERT_EQ(::access(program.c_str(), X_OK), 0) << program << " is not built";
    int status = 0;
    const std::string list = SharedLibrariesOf(program, &status);
    ASSERT_EQ(status, 0) << list;
    const std::string found = DisplayLibrariesIn(list);
    EXPECT_NE(found.find("libSDL2"), std::string::npos) << list;
    EXPECT_NE(found.find("libfreetype"), std::string::npos) << list;
}

} // namespace
