#pragma once
// The command line of zelta-rct-cli: options anywhere ("--opt value", "--opt=value"), "--" ends
// them, one command and its operands. Parsing checks only the form; files and ports are looked
// at by the commands.

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class ReadFormat { Readable, Cfg, Json };

struct Arguments {
    std::optional<std::string> port;
    int baudRate = 38400;
    std::optional<std::string> trace; // "-" for standard error
    bool help = false;
    bool version = false;

    std::string command;
    std::vector<std::string> operands;

    // read
    std::optional<std::string> output;
    ReadFormat format = ReadFormat::Readable;
    // write
    std::optional<std::string> bandwidth;
    std::optional<std::string> serialNumber;
    std::optional<std::string> hardwareVersion;
    bool backup = true;
    bool verify = true;
    bool dryRun = false;
};

// The text of --help.
extern const char kUsage[];

// Fills `args` from the command line; returns the usage error in one line ("unknown option
// --frobnicate"), or an empty text when the line is well formed. --help and --version stop
// the checks of the command.
std::string ParseArguments(int argc, const char* const* argv, Arguments& args);

} // namespace cli
