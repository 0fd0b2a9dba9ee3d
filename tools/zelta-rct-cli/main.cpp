// zelta-rct-cli: the radio operations of the configuration tool without its window. Each
// command opens the port, talks to the radio, prints the outcome the window would show in
// its status line on standard error, and exits 0 on success, 1 on failure, 2 on a usage error.

#include "radio/ConfigFile.h"
#include "radio/PlainFields.h"
#include "radio/Protocol.h"
#include "radio/RadioSettings.h"
#include "radio/SerialPort.h"
#include "radio/Upgrade.h"
#include "tools/zelta-rct-cli/CliHost.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: zelta-rct-cli [--port NAME] [--baud RATE] COMMAND [ARGUMENTS]\n"
    "\n"
    "Talks to the radio on a serial port. Reads and writes need the radio in configuration\n"
    "mode: run connect first, disconnect at the end.\n"
    "\n"
    "options:\n"
    "  --port NAME    a name from 'ports' or any device path (default: the first listed port;\n"
    "                 ZELTA_RCT_EXTRA_PORTS adds ports, separated by ':')\n"
    "  --baud RATE    9600, 19200, 38400, 57600 or 115200 (default 38400)\n"
    "  --help         this text\n"
    "\n"
    "commands:\n"
    "  ports                     list the serial ports, one a line\n"
    "  connect                   put the radio into configuration mode\n"
    "  disconnect                return the radio to normal operation\n"
    "  read [-o FILE]            read every parameter and print it as Key,value lines (the\n"
    "                            lines of a .cfg file, then Bandwidth, SerialNumber,\n"
    "                            HardwareVersion, FirmwareVersion, SubFirmwareVersion);\n"
    "                            -o also saves the .cfg file (.cfg is added to a name\n"
    "                            without it)\n"
    "  write FILE [--bandwidth 12.5|25.0] [--serial-number SN] [--hardware-version HV]\n"
    "                            load a .cfg file and write it to the radio; the options\n"
    "                            also set the bandwidth, the serial number (at most 9\n"
    "                            characters) and the hardware version (at most 4)\n"
    "  upgrade FILE.dwn          send a firmware file to the radio's boot loader\n"
    "\n"
    "The outcome (for example \"Read OK\" or \"Read Error\") goes to standard error.\n"
    "Exit status: 0 success, 1 failure, 2 usage error.\n";

struct Arguments {
    std::optional<std::string> port;
    int baudRate = 38400;
    std::string command;
    std::vector<std::string> operands;
    std::optional<std::string> output;
    std::optional<std::string> bandwidth;
    std::optional<std::string> serialNumber;
    std::optional<std::string> hardwareVersion;
};

int UsageError(const std::string& message) {
    std::fprintf(stderr, "zelta-rct-cli: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
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

// Parses the command line into `args`; returns the exit status of a usage error, or -1.
int Parse(int argc, char** argv, Arguments& args, bool& help) {
    help = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return -1;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            if (i + 1 >= argc)
                return UsageError(arg + " needs a value");
            std::string value = argv[++i];
            if (arg == "--port") {
                if (value.empty())
                    return UsageError("--port needs a name");
                args.port = value;
            } else if (arg == "--baud") {
                if (!ParseBaud(value, args.baudRate))
                    return UsageError("unsupported baud rate " + value);
            } else if (arg == "-o" || arg == "--output") {
                args.output = value;
            } else if (arg == "--bandwidth") {
                args.bandwidth = value;
            } else if (arg == "--serial-number") {
                args.serialNumber = value;
            } else if (arg == "--hardware-version") {
                args.hardwareVersion = value;
            } else {
                return UsageError("unknown option " + arg);
            }
            continue;
        }
        if (args.command.empty())
            args.command = arg;
        else
            args.operands.push_back(arg);
    }
    if (args.command.empty())
        return UsageError("no command given");

    const std::string& c = args.command;
    size_t operands = 0;
    if (c == "write" || c == "upgrade")
        operands = 1;
    else if (c != "ports" && c != "connect" && c != "disconnect" && c != "read")
        return UsageError("unknown command " + c);
    if (args.operands.size() != operands)
        return UsageError(c + (operands ? " needs one file" : " takes no arguments"));
    if (args.output && c != "read")
        return UsageError("-o belongs to read");
    bool writeOptions = args.bandwidth || args.serialNumber || args.hardwareVersion;
    if (writeOptions && c != "write")
        return UsageError("--bandwidth, --serial-number and --hardware-version belong to write");
    if (args.bandwidth && *args.bandwidth != "12.5" && *args.bandwidth != "25.0")
        return UsageError("--bandwidth takes 12.5 or 25.0");
    // The limits of the window's fields.
    if (args.serialNumber && (args.serialNumber->empty() || args.serialNumber->size() > 9))
        return UsageError("--serial-number takes 1 to 9 characters");
    if (args.hardwareVersion && (args.hardwareVersion->empty() || args.hardwareVersion->size() > 4))
        return UsageError("--hardware-version takes 1 to 4 characters");
    return -1;
}

void PrintParameters(const radio::CPlainFields& fields) {
    for (const auto& [key, value] : radio::ConfigEntries(fields.settings))
        std::printf("%s,%s\n", key.c_str(), value.c_str());
    std::printf("Bandwidth,%d\n", fields.bandwidth.selected());
    std::printf("SerialNumber,%s\n", fields.serialNumber.text().c_str());
    std::printf("HardwareVersion,%s\n", fields.hardwareVersion.text().c_str());
    std::printf("FirmwareVersion,%s\n", fields.firmwareVersion.text().c_str());
    std::printf("SubFirmwareVersion,%s\n", fields.subFirmwareVersion.text().c_str());
    std::fflush(stdout);
}

int Read(radio::CRadioProtocol& protocol, radio::CPlainFields& fields, const Arguments& args) {
    if (!protocol.ReadAll())
        return kExitFailed;
    PrintParameters(fields);
    if (!args.output)
        return kExitOk;
    bool saved = radio::ExportConfigFile(fields.settings, radio::ExportFileName(*args.output));
    protocol.ReportResult(saved, radio::Operation::Export);
    return saved ? kExitOk : kExitFailed;
}

int Write(radio::CRadioProtocol& protocol, radio::CPlainFields& fields, const Arguments& args) {
    bool imported = radio::ImportConfigFile(fields.settings, args.operands[0]);
    protocol.ReportResult(imported, radio::Operation::Import);
    if (!imported)
        return kExitFailed;
    if (args.bandwidth)
        fields.bandwidth.select(*args.bandwidth == "12.5" ? 0 : 1);
    // The options stand for the window's unlock buttons and the edits they free.
    if (args.serialNumber) {
        fields.settings.SerialNumberUnlocked = true;
        fields.serialNumber.setEnabled(true);
        fields.serialNumber.setText(*args.serialNumber);
    }
    if (args.hardwareVersion) {
        fields.settings.HardwareUnlocked = true;
        fields.hardwareVersion.setEnabled(true);
        fields.hardwareVersion.setText(*args.hardwareVersion);
    }
    return protocol.WriteAll() ? kExitOk : kExitFailed;
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    bool help = false;
    int usage = Parse(argc, argv, args, help);
    if (help) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (usage >= 0)
        return usage;

    if (args.command == "ports") {
        for (const std::string& name : radio::EnumerateSerialPorts())
            std::printf("%s\n", name.c_str());
        return kExitOk;
    }

    std::string port;
    if (args.port) {
        port = *args.port;
    } else {
        std::vector<std::string> ports = radio::EnumerateSerialPorts();
        if (ports.empty()) {
            std::fprintf(stderr, "zelta-rct-cli: no serial port found; name one with --port\n");
            return kExitFailed;
        }
        port = ports.front();
    }

    cli::CCliHost host(port, args.baudRate, stderr);
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol(host, fields.settings);

    const std::string& c = args.command;
    if (c == "connect")
        return protocol.ConnectRadio() ? kExitOk : kExitFailed;
    if (c == "disconnect")
        return protocol.DisconnectRadio() ? kExitOk : kExitFailed;
    if (c == "read")
        return Read(protocol, fields, args);
    if (c == "write")
        return Write(protocol, fields, args);
    bool upgraded = radio::UpgradeFirmwareFile(protocol, args.operands[0]);
    // The upgrade leaves its result to the host; the tool shows it as the window would.
    protocol.ReportResult(upgraded, radio::Operation::Upgrade);
    return upgraded ? kExitOk : kExitFailed;
}
