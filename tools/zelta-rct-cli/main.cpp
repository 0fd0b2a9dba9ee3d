// zelta-rct-cli: the radio operations of the configuration tool without its window, with the
// technician's safety nets around a write (a backup before, a check after). Each command opens
// the port, talks to the radio and prints the outcome the window would show in its status line
// on standard error, with the cause of a failure beside it; values go to standard output.

#include "radio/ConfigFile.h"
#include "radio/PlainFields.h"
#include "radio/PortList.h"
#include "radio/Protocol.h"
#include "radio/RadioSettings.h"
#include "radio/Trace.h"
#include "radio/Upgrade.h"
#include "tools/zelta-rct-cli/Arguments.h"
#include "tools/zelta-rct-cli/Backup.h"
#include "tools/zelta-rct-cli/CliHost.h"
#include "tools/zelta-rct-cli/Formats.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitPort = 3;
constexpr int kExitFile = 4;

const char kProgram[] = "zelta-rct-cli";

void Complain(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
}

// Standard output that could not be written (a full disk, a closed pipe) fails the command.
int FinishOutput(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Complain(std::string("standard output: ") + std::strerror(errno));
        return status == kExitOk ? kExitFile : status;
    }
    return status;
}

// Why `path` cannot be read as a file ("" when it can). Directories and devices are refused;
// their open or read would block, fail late or take the wrong thing.
std::string UnreadableFile(const std::string& path, int64_t* size = nullptr) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return path + ": cannot read: " + std::strerror(errno);
    struct stat info {};
    std::string problem;
    if (::fstat(fd, &info) != 0)
        problem = path + ": cannot read: " + std::strerror(errno);
    else if (S_ISDIR(info.st_mode))
        problem = path + ": is a folder, not a file";
    else if (!S_ISREG(info.st_mode))
        problem = path + ": is not a regular file";
    if (size)
        *size = info.st_size;
    ::close(fd);
    return problem;
}

// Loads a .cfg file into the fields; false (with the reason printed) when it cannot be read.
bool LoadConfig(const std::string& path, radio::CPlainFields& fields) {
    std::string problem = UnreadableFile(path);
    if (problem.empty() && radio::ImportConfigFile(fields.settings, path, &problem))
        return true;
    Complain(problem);
    return false;
}

void PrintCandidates(const std::vector<radio::PortInfo>& ports) {
    for (const radio::PortInfo& port : ports)
        std::fprintf(stderr, "  %s\n", radio::DescribePort(port).c_str());
}

// The port to talk on: the one named (a /dev/serial/by-id name may stand alone), otherwise the
// only USB adapter or extra port. Returns an exit status, or -1 with `port` set.
int ChoosePort(const cli::Arguments& args, std::string& port) {
    if (args.port) {
        port = *args.port;
        std::string byId = "/dev/serial/by-id/" + port;
        if (port.find('/') == std::string::npos && ::access(("/dev/" + port).c_str(), F_OK) != 0 &&
            ::access(byId.c_str(), F_OK) == 0)
            port = byId;
        return -1;
    }
    std::vector<radio::PortInfo> ports = radio::ListSerialPorts();
    std::vector<radio::PortInfo> candidates = radio::AutomaticPortCandidates(ports);
    if (candidates.size() == 1) {
        port = candidates.front().name;
        std::fprintf(stderr, "using %s\n", radio::DescribePort(candidates.front()).c_str());
        return -1;
    }
    if (candidates.empty()) {
        Complain("no USB serial adapter found; plug the radio's adapter in, or name a port "
                 "with --port" +
                 std::string(ports.empty() ? "" : ":"));
        PrintCandidates(ports);
        return kExitPort;
    }
    Complain("several ports could be the radio; name one with --port:");
    PrintCandidates(candidates);
    return kExitUsage;
}

// One command's talk with the radio: the host on the chosen port, a set of fields and the
// protocol that fills them.
struct Session {
    Session(const std::string& portName, int baudRate)
        : port(portName), host(portName, baudRate, stderr) {
        host.SetHint("hint: the radio answers reads and writes only in configuration mode "
                     "(zelta-rct-cli connect), and only at its own serial rate (--baud, now " +
                     std::to_string(baudRate) + ")");
    }
    std::string port;
    cli::CCliHost host;
    radio::CPlainFields fields;
    radio::CRadioProtocol protocol{host, fields.settings};
};

// A session on the port of the command line; null with the exit status in `status` when no
// port can be chosen.
std::unique_ptr<Session> StartSession(const cli::Arguments& args, int& status) {
    std::string port;
    status = ChoosePort(args, port);
    return status >= 0 ? nullptr : std::make_unique<Session>(port, args.baudRate);
}

int Ports() {
    std::vector<radio::PortInfo> ports = radio::ListSerialPorts();
    for (const radio::PortInfo& port : ports)
        std::printf("%s\n", radio::DescribePort(port).c_str());
    if (ports.empty())
        Complain("no serial port found (ZELTA_RCT_EXTRA_PORTS adds ports, separated by ':')");
    return kExitOk;
}

int Read(Session& session, const cli::Arguments& args) {
    radio::CRadioProtocol& protocol = session.protocol;
    cli::CCliHost& host = session.host;
    radio::CPlainFields& fields = session.fields;
    if (!protocol.ReadAll())
        return host.FailureExitStatus();
    switch (args.format) {
        case cli::ReadFormat::Readable:
            std::fputs(cli::FormatReadable(fields).c_str(), stdout);
            break;
        case cli::ReadFormat::Cfg:
            std::fputs(cli::FormatCfgLines(fields).c_str(), stdout);
            break;
        case cli::ReadFormat::Json:
            std::fputs(cli::FormatJson(fields).c_str(), stdout);
            break;
    }
    if (!args.output)
        return kExitOk;
    std::string path = radio::ExportFileName(*args.output);
    std::string why;
    if (radio::ExportConfigFile(fields.settings, path, &why)) {
        protocol.ReportResult(true, radio::Operation::Export);
        return kExitOk;
    }
    host.ReportFailure({radio::FailureKind::File, why});
    protocol.ReportResult(false, radio::Operation::Export);
    return kExitFile;
}

// Applies the write options: the bandwidth, and the identity texts with the unlocks the
// window's buttons would give.
void ApplyWriteOptions(const cli::Arguments& args, radio::CPlainFields& fields) {
    if (args.bandwidth)
        fields.bandwidth.select(*args.bandwidth == "12.5" ? 0 : 1);
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
}

int Write(const cli::Arguments& args) {
    const std::string& file = args.operands[0];
    radio::CPlainFields fields;
    if (!LoadConfig(file, fields))
        return kExitFile;
    ApplyWriteOptions(args, fields);
    // Everything the write would refuse is found before the radio is touched.
    std::vector<std::string> problems = radio::CheckWriteValues(fields.settings);
    if (!problems.empty()) {
        for (const std::string& problem : problems)
            Complain(file + ": " + problem);
        Complain("nothing was sent");
        return kExitFailed;
    }
    if (args.dryRun) {
        for (const std::string& command : radio::PlanWrite(fields.settings))
            std::printf("%s\n", command.c_str());
        std::fprintf(stderr, "dry run: the commands above would be sent; nothing was sent\n");
        return kExitOk;
    }

    int status = 0;
    std::unique_ptr<Session> session = StartSession(args, status);
    if (!session)
        return status;
    cli::CCliHost& host = session->host;
    if (args.backup) {
        if (int status = cli::BackUpRadio(host); status != kExitOk)
            return status;
    }

    radio::CRadioProtocol protocol(host, fields.settings);
    // The write clears the unlocks at its end; the check afterwards needs them.
    bool serialNumberUnlocked = fields.settings.SerialNumberUnlocked;
    bool hardwareUnlocked = fields.settings.HardwareUnlocked;
    host.SetStep("");
    if (!protocol.WriteAll())
        return host.FailureExitStatus();
    // A new port rate takes effect at once: from now on the radio answers at that rate only.
    int rate = fields.portBaudRate.selected() >= 0
                   ? radio::ReadInteger(fields.portBaudRate.selectedText())
                   : args.baudRate;
    if (rate != args.baudRate)
        std::fprintf(stderr, "The radio's serial rate is now %d: use --baud %d from now on\n", rate,
                     rate);
    if (!args.verify)
        return kExitOk;

    Session check(session->port, rate);
    check.host.SetStep("Verify");
    if (!check.protocol.ReadAll())
        return check.host.FailureExitStatus();
    std::vector<cli::Difference> differences =
        cli::CompareFields(fields, check.fields, serialNumberUnlocked, hardwareUnlocked);
    for (const cli::Difference& d : differences)
        std::fprintf(stderr, "Verify: %s: wrote %s, the radio holds %s\n", d.field.c_str(),
                     d.expected.c_str(), d.actual.c_str());
    if (differences.empty()) {
        std::fprintf(stderr, "Verify OK: every written field reads back as written\n");
        return kExitOk;
    }
    std::fprintf(stderr, "Verify Error: %zu field%s differ%s from what was written\n",
                 differences.size(), differences.size() == 1 ? "" : "s",
                 differences.size() == 1 ? "s" : "");
    return kExitFailed;
}

int Diff(const cli::Arguments& args) {
    const std::string& file = args.operands[0];
    radio::CPlainFields wanted;
    if (!LoadConfig(file, wanted))
        return kExitFile;
    int status = 0;
    std::unique_ptr<Session> session = StartSession(args, status);
    if (!session)
        return status;
    if (!session->protocol.ReadAll())
        return session->host.FailureExitStatus();
    // A write would send the addresses normalised; compare what it would send.
    wanted.settings.NormaliseAddresses();
    std::vector<cli::Difference> differences =
        cli::CompareFields(wanted, session->fields, false, false);
    for (const cli::Difference& d : differences)
        std::printf("%s: file %s, radio %s\n", d.field.c_str(), d.expected.c_str(),
                    d.actual.c_str());
    std::fprintf(stderr, "%zu field%s differ%s from %s\n", differences.size(),
                 differences.size() == 1 ? "" : "s", differences.size() == 1 ? "s" : "",
                 file.c_str());
    return differences.empty() ? kExitOk : kExitFailed;
}

int Upgrade(const cli::Arguments& args) {
    const std::string& file = args.operands[0];
    // The file is checked before the port is even chosen: a file that is no firmware never
    // reaches the radio.
    int64_t size = 0;
    std::string problem = UnreadableFile(file, &size);
    if (problem.empty() && size <= radio::kFirmwarePagesOffset)
        problem = file + ": " + std::to_string(size) +
                  " bytes is too small for firmware (more than 4096 needed)";
    if (!problem.empty()) {
        Complain(problem + "; nothing was sent");
        return kExitFile;
    }
    int status = 0;
    std::unique_ptr<Session> session = StartSession(args, status);
    if (!session)
        return status;
    session->host.SetFirmwareSize(size);
    bool ok = radio::UpgradeFirmwareFile(session->protocol, file);
    // The upgrade leaves its result to the host; the tool shows it as the window would.
    session->protocol.ReportResult(ok, radio::Operation::Upgrade);
    if (ok)
        return kExitOk;
    std::fprintf(stderr, "The radio may be waiting in its boot loader: running the upgrade again "
                         "restarts the boot loader's transfer from the first page.\n");
    return session->host.FailureExitStatus();
}

int Run(const cli::Arguments& args) {
    const std::string& c = args.command;
    if (c == "ports")
        return Ports();
    if (c == "write")
        return Write(args);
    if (c == "diff")
        return Diff(args);
    if (c == "upgrade")
        return Upgrade(args);

    int status = 0;
    std::unique_ptr<Session> session = StartSession(args, status);
    if (!session)
        return status;
    if (c == "connect" || c == "disconnect")
        session->host.SetHint("hint: check the cable, that the radio is on, and its serial rate "
                              "(--baud, now " +
                              std::to_string(args.baudRate) + ")");
    if (c == "connect")
        return session->protocol.ConnectRadio() ? kExitOk : session->host.FailureExitStatus();
    if (c == "disconnect")
        return session->protocol.DisconnectRadio() ? kExitOk : session->host.FailureExitStatus();
    return Read(*session, args);
}

} // namespace

int main(int argc, char** argv) {
    cli::Arguments args;
    std::string usage = ParseArguments(argc, argv, args);
    if (!usage.empty()) {
        std::fprintf(stderr, "%s: %s; try '%s --help'\n", kProgram, usage.c_str(), kProgram);
        return kExitUsage;
    }
    if (args.help) {
        std::fputs(cli::kUsage, stdout);
        return FinishOutput(kExitOk);
    }
    if (args.version) {
        std::printf("%s %s\n", kProgram, ZELTA_VERSION);
        return FinishOutput(kExitOk);
    }
    if (args.trace) {
        std::string error;
        if (!radio::StartTrace(*args.trace, &error)) {
            Complain(*args.trace + ": cannot write the trace: " + error);
            return kExitFile;
        }
    }
    int status = FinishOutput(Run(args));
    radio::StopTrace();
    return status;
}
