#include "tools/zelta-rct-cli/Arguments.h"

#include "radio/RadioSettings.h"

#include <algorithm>
#include <array>

namespace cli {

const char kUsage[] =
    "usage: zelta-rct-cli [OPTIONS] COMMAND [ARGUMENTS]\n"
    "\n"
    "Talks to the radio on a serial port. Reads and writes need the radio in configuration\n"
    "mode: run connect first, disconnect at the end. Options may stand anywhere, as\n"
    "--opt VALUE or --opt=VALUE; -- ends the options.\n"
    "\n"
    "commands:\n"
    "  ports              list the serial ports: USB adapters first (vendor, product, serial\n"
    "                     number, /dev/serial/by-id name), then the machine's own ports,\n"
    "                     then those of ZELTA_RCT_EXTRA_PORTS (separated by ':')\n"
    "  connect            put the radio into configuration mode\n"
    "  disconnect         return the radio to normal operation\n"
    "  read               read every parameter and print it\n"
    "  write FILE         write a .cfg file to the radio: check the file (nothing is sent\n"
    "                     when a value would be refused), read the radio and save a backup,\n"
    "                     write, then read back and report every field that differs from\n"
    "                     what was written\n"
    "  diff FILE          read the radio and print the fields that differ from the .cfg file\n"
    "  upgrade FILE.dwn   check the firmware file, then send it to the radio's boot loader\n"
    "                     (at 115200), showing pages, bytes per second and time left\n"
    "\n"
    "options:\n"
    "  --port NAME        a name from 'ports' (ttyUSB0), a device path, or a name under\n"
    "                     /dev/serial/by-id. Without it the only USB adapter (or the only\n"
    "                     ZELTA_RCT_EXTRA_PORTS entry) is used; with several the tool refuses\n"
    "                     and lists them\n"
    "  --baud RATE        the radio's serial rate: 9600, 19200, 38400, 57600 or 115200\n"
    "                     (default 38400)\n"
    "  --trace[=FILE]     log every line sent and received, with a time stamp in ms, to FILE\n"
    "                     (appended) or to standard error; ZELTA_RCT_TRACE=FILE does the same\n"
    "  -h, --help         this text\n"
    "  --version          the program's version\n"
    "\n"
    "read options:\n"
    "  --format FORMAT    readable (default: \"Protocol: TRIMTALK\", frequencies in MHz), cfg\n"
    "                     (the Key,value lines of a .cfg file, then Bandwidth, SerialNumber,\n"
    "                     HardwareVersion, FirmwareVersion, SubFirmwareVersion) or json\n"
    "  -o, --output FILE  also save the .cfg file (.cfg is added to a name without it)\n"
    "\n"
    "write options:\n"
    "  --bandwidth 12.5|25.0       also set the bandwidth (the file does not hold it)\n"
    "  --serial-number SN          also set the serial number (1 to 9 characters)\n"
    "  --hardware-version HV       also set the hardware version (1 to 4 characters)\n"
    "  --no-backup        do not read and save the radio's settings first\n"
    "  --no-verify        do not read back and compare after writing\n"
    "  --dry-run          check the file and print the commands a write would send; nothing\n"
    "                     is sent and no port is needed\n"
    "\n"
    "Backups go to ${XDG_DATA_HOME:-~/.local/share}/zelta-rct/backups/, named with the date,\n"
    "time and the radio's serial number. The outcome of each step (\"Read OK\", \"Write Error:\"\n"
    "and why) goes to standard error; values and lists to standard output.\n"
    "\n"
    "exit status:\n"
    "  0  success (diff: no field differs)\n"
    "  1  the radio or the operation failed (diff, write: a field differs)\n"
    "  2  usage error, or several ports to choose from\n"
    "  3  the port cannot be used: missing, busy, no permission, not a terminal\n"
    "  4  a file cannot be read or written (also standard output), or is no firmware\n";

namespace {

enum class Value { None, Required, Optional };

struct OptionSpec {
    const char* name;
    Value value;
};

constexpr std::array kOptions = {
    OptionSpec{"--port", Value::Required},
    OptionSpec{"--baud", Value::Required},
    OptionSpec{"--trace", Value::Optional},
    OptionSpec{"--help", Value::None},
    OptionSpec{"-h", Value::None},
    OptionSpec{"--version", Value::None},
    OptionSpec{"--format", Value::Required},
    OptionSpec{"--output", Value::Required},
    OptionSpec{"-o", Value::Required},
    OptionSpec{"--bandwidth", Value::Required},
    OptionSpec{"--serial-number", Value::Required},
    OptionSpec{"--hardware-version", Value::Required},
    OptionSpec{"--no-backup", Value::None},
    OptionSpec{"--no-verify", Value::None},
    OptionSpec{"--dry-run", Value::None},
};

const OptionSpec* FindOption(const std::string& name) {
    for (const OptionSpec& spec : kOptions) {
        if (name == spec.name)
            return &spec;
    }
    return nullptr;
}

bool ParseBaud(const std::string& text, int& rate) {
    for (const radio::RateEntry& entry : radio::kPortRates) {
        if (text == entry.replyText) {
            rate = radio::ReadInteger(text);
            return true;
        }
    }
    return false;
}

// Applies one option with its value; returns a usage error or "".
std::string Apply(const std::string& name, const std::string& value, Arguments& args) {
    if (name == "--port") {
        if (value.empty())
            return "--port needs a name";
        args.port = value;
    } else if (name == "--baud") {
        if (!ParseBaud(value, args.baudRate))
            return "unsupported baud rate '" + value + "' (9600, 19200, 38400, 57600, 115200)";
    } else if (name == "--trace") {
        args.trace = value.empty() ? "-" : value;
    } else if (name == "--help" || name == "-h") {
        args.help = true;
    } else if (name == "--version") {
        args.version = true;
    } else if (name == "--format") {
        if (value == "readable")
            args.format = ReadFormat::Readable;
        else if (value == "cfg")
            args.format = ReadFormat::Cfg;
        else if (value == "json")
            args.format = ReadFormat::Json;
        else
            return "unknown format '" + value + "' (readable, cfg, json)";
    } else if (name == "--output" || name == "-o") {
        if (value.empty())
            return name + " needs a file name";
        args.output = value;
    } else if (name == "--bandwidth") {
        if (value != "12.5" && value != "25.0")
            return "--bandwidth takes 12.5 or 25.0";
        args.bandwidth = value;
    } else if (name == "--serial-number") {
        // The limits of the window's fields.
        if (value.empty() || value.size() > 9)
            return "--serial-number takes 1 to 9 characters";
        args.serialNumber = value;
    } else if (name == "--hardware-version") {
        if (value.empty() || value.size() > 4)
            return "--hardware-version takes 1 to 4 characters";
        args.hardwareVersion = value;
    } else if (name == "--no-backup") {
        args.backup = false;
    } else if (name == "--no-verify") {
        args.verify = false;
    } else if (name == "--dry-run") {
        args.dryRun = true;
    }
    return {};
}

// Which command an option belongs to; null for the options of every command.
const char* OwnerOf(const std::string& name) {
    if (name == "--format" || name == "--output" || name == "-o")
        return "read";
    if (name == "--bandwidth" || name == "--serial-number" || name == "--hardware-version" ||
        name == "--no-backup" || name == "--no-verify" || name == "--dry-run")
        return "write";
    return nullptr;
}

std::string CheckCommand(const Arguments& args, const std::vector<std::string>& given) {
    const std::string& c = args.command;
    if (c.empty())
        return "no command given";
    size_t operands = 0;
    if (c == "write" || c == "upgrade" || c == "diff")
        operands = 1;
    else if (c != "ports" && c != "connect" && c != "disconnect" && c != "read")
        return "unknown command '" + c + "'";
    if (args.operands.size() != operands)
        return c + (operands ? " needs one file" : " takes no arguments");
    for (const std::string& name : given) {
        const char* owner = OwnerOf(name);
        if (owner && c != owner)
            return name + " belongs to " + owner;
    }
    return {};
}

} // namespace

std::string ParseArguments(int argc, const char* const* argv, Arguments& args) {
    std::vector<std::string> given;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (isOption && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!isOption) {
            if (args.command.empty())
                args.command = arg;
            else
                args.operands.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        size_t equals = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const OptionSpec* spec = FindOption(name);
        if (!spec)
            return "unknown option " + name;
        if (spec->value == Value::None && value)
            return name + " takes no value";
        if (spec->value == Value::Required && !value) {
            if (i + 1 >= argc)
                return name + " needs a value";
            value = argv[++i];
        }
        std::string error = Apply(name, value.value_or(""), args);
        if (!error.empty())
            return error;
        given.push_back(name);
    }
    if (args.help || args.version)
        return {};
    return CheckCommand(args, given);
}

} // namespace cli
