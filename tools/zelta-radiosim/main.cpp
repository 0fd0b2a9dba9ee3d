// zelta-radiosim: a simulated radio on a pseudo-terminal. Prints the path of the line's slave
// side on the first line of standard output, then answers like a radio until it is stopped.

#include "tools/zelta-radiosim/Faults.h"
#include "tools/zelta-radiosim/SimLine.h"
#include "tools/zelta-radiosim/SimRadio.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char kUsage[] =
    "usage: zelta-radiosim [OPTIONS]\n"
    "\n"
    "Serves a simulated radio on a pseudo-terminal and prints the terminal's path on the first\n"
    "line of standard output. Runs until SIGTERM or SIGINT (exit 0 after saving the files).\n"
    "The line is paced at the rate the client sets (10 bits a byte; the boot loader at 115200).\n"
    "\n"
    "options:\n"
    "  --state FILE         load the parameters from FILE if it exists, save them there at exit\n"
    "                       (key=value lines, as written by the simulator)\n"
    "  --firmware-out FILE  write the image received by the boot loader (the accepted pages in\n"
    "                       the order received) when \"ISP finish\" arrives\n"
    "  --log FILE           append every byte received, escaped (\\r, \\n, \\xNN), a line per\n"
    "                       command with a UTC time stamp (page frames as a summary)\n"
    "  --fault SPEC         switch on a fault; repeatable\n"
    "  --fault-file FILE    read fault specs (one a line, # comments) from FILE at start and\n"
    "                       again on SIGUSR1; they replace the --fault options\n"
    "  --help               this text\n"
    "\n"
    "fault SPEC: KIND[=N][@CMD[,CMD...]]  (CMD: a command name such as cfg_baud, control,\n"
    "\"write page\", page; a trailing * matches a prefix; without @ every command)\n"
    "  noreply             never answer\n"
    "  delay=MS            answer MS milliseconds late\n"
    "  drop=N              drop every N-th answer\n"
    "  garbage[=N]         N noise bytes (default 8) before the reply\n"
    "  ack                 end replies with ACK instead of a line end\n"
    "  crcrlf              write line ends as CR CR LF\n"
    "  unknown-protocol    answer queries with UNKNOW (default @cfg_prtl)\n"
    "  no-link-rate        leave queries unanswered (default @cfg_baud)\n"
    "  bad-sum[=N]         refuse the N-th page frame of each upgrade (default 1)\n"
    "  vanish=N            close the line when the N-th command arrives, then exit\n"
    "  own-rate            hear only what comes at the radio's own serial rate (cfg_sbau,\n"
    "                      38400 at first): at another port rate the radio stays silent\n"
    "\n"
    "running it beside the tool:\n"
    "  zelta-radiosim --log /tmp/sim.log &     # prints the line, e.g. /dev/pts/5\n"
    "  zelta-rct-cli --port /dev/pts/5 connect\n"
    "  zelta-rct-cli --port /dev/pts/5 read\n"
    "  kill %1                                 # or kill PID: SIGTERM or SIGINT stops it\n"
    "For the window, ZELTA_RCT_EXTRA_PORTS=/dev/pts/5 adds the line to its port list.\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "zelta-radiosim: %s\n%s", message.c_str(), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    radiosim::LineOptions options;
    radiosim::CFaultSet faults;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        bool takesValue = arg == "--state" || arg == "--firmware-out" || arg == "--log" ||
                          arg == "--fault" || arg == "--fault-file";
        if (!takesValue)
            return UsageError("unknown option " + arg);
        if (i + 1 >= argc)
            return UsageError(arg + " needs a value");
        std::string value = argv[++i];
        if (arg == "--state") {
            options.statePath = value;
        } else if (arg == "--firmware-out") {
            options.firmwarePath = value;
        } else if (arg == "--log") {
            options.logPath = value;
        } else if (arg == "--fault-file") {
            options.faultPath = value;
        } else {
            std::string error;
            if (!faults.Add(value, error))
                return UsageError(error);
        }
    }

    radiosim::CSimRadio radio;
    if (!options.statePath.empty()) {
        std::ifstream in(options.statePath, std::ios::binary);
        if (in) {
            std::ostringstream text;
            text << in.rdbuf();
            std::string error;
            if (!radio.LoadState(text.str(), error)) {
                std::fprintf(stderr, "zelta-radiosim: %s: %s\n", options.statePath.c_str(),
                             error.c_str());
                return 2;
            }
        }
    }

    radiosim::CSimLine line(radio, faults, options);
    std::string error;
    if (!line.Open(error)) {
        std::fprintf(stderr, "zelta-radiosim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", line.SlavePath().c_str());
    std::fflush(stdout);
    return line.Run();
}
