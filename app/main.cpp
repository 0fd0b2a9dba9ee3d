// zelta-rct: the configuration tool's window. It takes no command-line options; --help and
// --version only say what the program is, anything else on the command line is ignored.

#include "app/DlgMain.h"
#include "platform/win/Window.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kVersion = "Z001.01.06";

bool Asked(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (Asked(argc, argv, "--help")) {
        std::printf("usage: zelta-rct\n\n"
                    "Configures a Zelta external UHF data radio over a serial port: connect, "
                    "read, edit, write,\nimport and export .cfg files, upgrade the firmware. "
                    "The window has no command-line options.\n"
                    "ZELTA_RCT_EXTRA_PORTS=/dev/pts/5:... adds ports to its port list.\n");
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (Asked(argc, argv, "--version")) {
        std::printf("zelta-rct %s\n", kVersion);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    if (!plat::Initialise()) {
        std::fprintf(stderr, "zelta-rct: no display to open the window on\n");
        return 1;
    }
    int status = 0;
    {
        // A skeleton that cannot be built ends the process with status 1 inside the window's
        // creation; any other failure to make the window ends here the same way.
        app::DlgMain window;
        if (window.GetHWND() == nullptr)
            status = 1;
        else
            window.Run();
    }
    plat::Shutdown();
    return status;
}
