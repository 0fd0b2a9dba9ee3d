#include "radio/Protocol.h"

#include "radio/Replies.h"
#include "radio/Trace.h"

#include <thread>
#include <utility>

namespace radio {

namespace {

// The first control byte of a value put into a command, or -1. A carriage return inside an
// imported frequency or address would end the command there and make the rest a second
// command of its own.
int ControlByteIn(const std::string& value) {
    for (unsigned char c : value) {
        if (c < 0x20 || c == 0x7F)
            return c;
    }
    return -1;
}

std::string LabelText(const ILabel* label) {
    return label ? label->text() : std::string();
}

// The port name of a port list entry: the entry without its leading space.
std::string PortNameOf(const std::string& entry) {
    size_t first = entry.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : entry.substr(first);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// A command as failure texts name it: escaped, without its carriage return; a page frame by
// its size.
std::string CommandName(const void* bytes, int length) {
    const auto* first = static_cast<const uint8_t*>(bytes);
    if (length > 64)
        return "page frame of " + std::to_string(length) + " bytes";
    size_t size = static_cast<size_t>(length);
    if (size > 0 && first[size - 1] == '\r')
        --size;
    return EscapeBytes(first, size);
}

const char* OperationName(int operation) {
    switch (static_cast<Operation>(operation)) {
        case Operation::Connect:
            return "connect";
        case Operation::Disconnect:
            return "disconnect";
        case Operation::Read:
            return "read";
        case Operation::Write:
            return "write";
        case Operation::Import:
            return "import";
        case Operation::Export:
            return "export";
        case Operation::Upgrade:
            return "firmware upgrade";
    }
    return "operation";
}

bool IsFileOperation(int operation) {
    return operation == static_cast<int>(Operation::Import) ||
           operation == static_cast<int>(Operation::Export);
}

// The value problems of one frequency field, named as the file names it.
void CheckFrequency(const ITextField* field, const std::string& name,
                    std::vector<std::string>& problems) {
    std::string text = field ? field->text() : std::string();
    if (int c = ControlByteIn(text); c >= 0) {
        uint8_t byte = static_cast<uint8_t>(c);
        problems.push_back(name + ": holds the control byte " + EscapeBytes(&byte, 1));
        return;
    }
    if (FrequencyInRange(ReadFrequency(text)))
        return;
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        problems.push_back(name + ": empty; a frequency within 410–470 MHz is needed");
        return;
    }
    char lead = text[first];
    bool number = (lead >= '0' && lead <= '9') || lead == '.' || lead == '+' || lead == '-';
    if (number)
        problems.push_back(name + ": " + text.substr(first) + " is outside 410–470 MHz");
    else
        problems.push_back(name + ": " + Quoted(EscapeBytes(text)) +
                           " is not a frequency within 410–470 MHz");
}

void CheckText(const ITextField* field, const std::string& name, bool required,
               std::vector<std::string>& problems) {
    std::string text = field ? field->text() : std::string();
    if (required && text.empty()) {
        problems.push_back(name + ": empty");
    } else if (int c = ControlByteIn(text); c >= 0) {
        uint8_t byte = static_cast<uint8_t>(c);
        problems.push_back(name + ": holds the control byte " + EscapeBytes(&byte, 1));
    }
}

} // namespace

std::vector<std::string> CheckWriteValues(const RadioSettings& s) {
    std::vector<std::string> problems;
    for (int slot = 1; slot <= ChannelCount; ++slot) {
        CheckFrequency(s.FrequencyField(slot, true), "Channel" + std::to_string(slot), problems);
        CheckFrequency(s.FrequencyField(slot, false), "RXChannel" + std::to_string(slot), problems);
    }
    if (!s.LowPower || s.LowPower->selected() < 0)
        problems.push_back("LowPower: nothing selected");
    CheckText(s.SRC, "SRC", false, problems);
    CheckText(s.DST, "DST", false, problems);
    if (s.SerialNumberUnlocked)
        CheckText(s.SerialNumber, "SerialNumber", true, problems);
    if (s.HardwareUnlocked)
        CheckText(s.HardwareVersion, "HardwareVersion", true, problems);
    return problems;
}

std::vector<std::string> PlanWrite(const RadioSettings& s) {
    std::vector<std::string> lines;
    for (bool transmit : {true, false}) {
        for (int slot = 1; slot <= ChannelCount; ++slot)
            lines.push_back(std::string(transmit ? "cfg_ch_" : "cfg_rx_ch_") +
                            std::to_string(slot) + " " + s.FrequencyField(slot, transmit)->text());
    }
    if (int channel = s.CurrentChannel->selected(); channel >= 0)
        lines.push_back("cfg_ch_n " + std::to_string(channel + 1));
    if (int rate = s.PortBaudRate->selected(); rate >= 0)
        lines.push_back("cfg_sbau " + std::to_string(rate + 1));
    if (s.LinkBaudRate->selected() >= 0)
        lines.push_back("cfg_baud " + std::to_string(LinkRateCode(s.LinkBaudRate->selectedText())));
    if (int bandwidth = s.Bandwidth->selected(); bandwidth == 0 || bandwidth == 1)
        lines.push_back(std::string("cfg_bw ") + kBandwidths[static_cast<size_t>(bandwidth)].code);
    if (int mode = s.workMode->selected(); mode >= 0 && mode <= 2)
        lines.push_back(std::string("cfg_mode ") + kWorkModes[static_cast<size_t>(mode)].code);
    lines.push_back("cfg_srcx " + NormalisedAddress(s.SRC->text(), kMaxSourceAddress, "0"));
    lines.push_back("cfg_dstx " + NormalisedAddress(s.DST->text(), kMaxDestinationAddress, "255"));
    if (int protocol = s.ProtocolType->selected(); protocol >= 0)
        lines.push_back("cfg_prtl " + std::to_string(ProtocolCode(protocol)));
    if (s.HighPower->count() > 1 && s.HighPower->selected() >= 0)
        lines.push_back("cfg_pwrh " + std::to_string(s.HighPower->selected() + 1));
    if (s.LowPower->count() > 1 && s.LowPower->selected() >= 0)
        lines.push_back("cfg_pwrl " + std::to_string(s.LowPower->selected() + 1));
    if (s.SerialNumberUnlocked)
        lines.push_back("cfg_sern " + s.SerialNumber->text());
    if (s.HardwareUnlocked)
        lines.push_back("cfg_hard " + s.HardwareVersion->text());
    return lines;
}

CRadioProtocol::CRadioProtocol(IRadioHost& host, RadioSettings& settings)
    : m_host(host), m_settings(settings), m_port(this) {}

CRadioProtocol::~CRadioProtocol() {
    m_port.Close();
}

void CRadioProtocol::OnSerialByte(uint8_t byte) {
    ++m_bytesReceived;
    m_lastByteNs = std::chrono::steady_clock::now().time_since_epoch().count();
    bool completed = false;
    {
        std::lock_guard<std::mutex> lock(m_replyLock);
        bool inReply = !m_reply.Complete() && (!m_reply.Buffer().empty() || byte == '\r');
        completed = m_reply.Feed(byte);
        if (inReply)
            ++m_replyBytes;
    }
    if (completed)
        m_replyDone.notify_all();
}

bool CRadioProtocol::Exchange(const void* bytes, int length) {
    // A reply that missed its time may still arrive: it must not answer this command.
    if (m_drainBeforeNext) {
        m_drainBeforeNext = false;
        DrainLine();
    }
    {
        std::lock_guard<std::mutex> lock(m_replyLock);
        m_reply.Clear();
    }
    ++m_commands;
    m_lastCommand = CommandName(bytes, length);
    m_lastProblem.clear();
    if (!m_port.QueueWrite(bytes, length)) {
        m_lastProblem =
            PortLabel() + ": command " + Quoted(m_lastCommand) + ": not sent, the port is not open";
        return false;
    }
    m_bytesSent += length;
    bool replied = false;
    {
        std::unique_lock<std::mutex> lock(m_replyLock);
        replied = m_replyDone.wait_for(lock, kReplyLimit, [this] { return m_reply.Complete(); });
    }
    if (!replied) {
        m_drainBeforeNext = true;
        std::string cause = "no reply within " + std::to_string(kReplyLimit.count()) + " ms";
        if (std::string writeError = m_port.TakeWriteError(); !writeError.empty())
            cause = writeError;
        else if (m_port.DeviceGone())
            cause = "the device went away (unplugged?)";
        m_lastProblem = PortLabel() + ": command " + Quoted(m_lastCommand) + ": " + cause;
    }
    return replied;
}

bool CRadioProtocol::SendCommand(const std::string& text) {
    return Exchange(text.data(), static_cast<int>(text.size()));
}

bool CRadioProtocol::SendCommandExpectOK(const std::string& text) {
    return SendCommand(text) && ReplyContains("OK");
}

std::string CRadioProtocol::ReplyBuffer() const {
    std::lock_guard<std::mutex> lock(m_replyLock);
    return m_reply.Buffer();
}

std::string CRadioProtocol::ReplyText() const {
    std::lock_guard<std::mutex> lock(m_replyLock);
    return m_reply.Text();
}

bool CRadioProtocol::ReplyContains(const char* token) const {
    std::lock_guard<std::mutex> lock(m_replyLock);
    return m_reply.Contains(token);
}

std::string CRadioProtocol::PortLabel() const {
    return m_openPort.empty() ? std::string("(no port)") : SerialDevicePath(m_openPort);
}

void CRadioProtocol::NoteFailure(FailureKind kind, const std::string& detail) {
    if (!m_failure)
        m_failure = Failure{kind, detail};
}

Failure CRadioProtocol::TakeFailure() {
    Failure failure = m_failure.value_or(Failure{FailureKind::Radio, PortLabel() + ": failed"});
    m_failure.reset();
    return failure;
}

void CRadioProtocol::NoteExchangeFailure() {
    if (!m_lastProblem.empty())
        NoteFailure(FailureKind::Radio, m_lastProblem);
}

void CRadioProtocol::NoteBadReply(const std::string& what) {
    if (!m_lastProblem.empty()) {
        NoteExchangeFailure();
        return;
    }
    NoteFailure(FailureKind::Radio, PortLabel() + ": command " + Quoted(m_lastCommand) +
                                        ": the reply " + Quoted(EscapeBytes(ReplyText())) + " " +
                                        what);
}

bool CRadioProtocol::Expect(const std::string& command, const char* token) {
    if (SendCommand(command) && ReplyContains(token))
        return true;
    NoteBadReply("lacks " + Quoted(token));
    return false;
}

void CRadioProtocol::DrainLine() {
    using namespace std::chrono;
    auto start = steady_clock::now();
    auto deadline = start + kDrainLimit;
    for (;;) {
        auto now = steady_clock::now();
        auto last = steady_clock::time_point(steady_clock::duration(m_lastByteNs.load()));
        auto quietUntil = std::max(last, start) + kDrainQuiet;
        if (now >= quietUntil || now >= deadline)
            break;
        std::this_thread::sleep_until(std::min(quietUntil, deadline));
    }
    std::lock_guard<std::mutex> lock(m_replyLock);
    m_reply.Clear();
}

bool CRadioProtocol::OpenRadioPort(bool bootRate) {
    m_openPort = PortNameOf(m_host.SelectedPortEntry());
    m_openBaud = bootRate ? kBootRate : ReadInteger(m_host.SelectedBaudEntry());
    if (m_openPort.empty()) {
        NoteFailure(FailureKind::Port, "no serial port selected");
        return false;
    }
    // The open discards whatever was on its way.
    m_drainBeforeNext = false;
    if (!m_port.Open(m_openPort, m_openBaud)) {
        NoteFailure(FailureKind::Port, m_port.LastError());
        return false;
    }
    m_portOwner = m_running.load();
    if (!m_port.StartThread()) {
        NoteFailure(FailureKind::Port, PortLabel() + ": the serial thread could not be started");
        return false;
    }
    return true;
}

void CRadioProtocol::ShowStatus(bool success, Operation operation) {
    std::string text =
        m_host.Caption(operation) + m_host.Text(success ? TextId::MsgSuccess : TextId::MsgError);
    m_host.SetStatusLine(text, 0, success ? kSuccessColour : kFailureColour);
}

void CRadioProtocol::ReportResult(bool success, Operation operation) {
    ShowStatus(success, operation);
    // A port opened outside any operation (-1) belongs to whichever radio operation reports.
    int owner = m_portOwner.load();
    int self = static_cast<int>(operation);
    if (owner == self || (owner < 0 && !IsFileOperation(self))) {
        m_port.Close();
        m_portOwner = -1;
    }
}

bool CRadioProtocol::BeginOperation(Operation operation) {
    int running = -1;
    if (m_running.compare_exchange_strong(running, static_cast<int>(operation))) {
        m_failure.reset();
        return true;
    }
    std::string port = PortNameOf(m_host.SelectedPortEntry());
    m_host.ReportFailure(
        {FailureKind::Port, (port.empty() ? std::string() : SerialDevicePath(port) + ": ") +
                                "busy: the " + OperationName(running) +
                                " running in this program holds the port; try again when it "
                                "has finished"});
    if (operation == Operation::Upgrade)
        m_host.UpgradeFinished(false);
    else
        ShowStatus(false, operation);
    return false;
}

void CRadioProtocol::EndOperation() {
    m_running = -1;
}

bool CRadioProtocol::Finish(bool success, Operation operation) {
    if (!success)
        m_host.ReportFailure(TakeFailure());
    ReportResult(success, operation);
    EndOperation();
    return success;
}

void CRadioProtocol::FinishUpgrade(bool success) {
    if (!success)
        m_host.ReportFailure(TakeFailure());
    m_host.UpgradeFinished(success);
    int self = static_cast<int>(Operation::Upgrade);
    if (m_portOwner.load() == self) {
        m_port.Close();
        m_portOwner = -1;
    }
    EndOperation();
}

bool CRadioProtocol::CheckNotEmpty(const ISelector* field, const ILabel* label) {
    if (field && field->selected() >= 0)
        return true;
    m_host.MessageBox(LabelText(label) + m_host.Text(TextId::MsgInvalid),
                      m_host.Text(TextId::MsgError), MessageIcon::Error);
    return false;
}

bool CRadioProtocol::CheckNotEmpty(const ITextField* field, const ILabel* label) {
    if (field && !field->text().empty())
        return true;
    m_host.MessageBox(LabelText(label) + m_host.Text(TextId::MsgInvalid),
                      m_host.Text(TextId::MsgError), MessageIcon::Error);
    return false;
}

bool CRadioProtocol::ConnectRadio() {
    if (!BeginOperation(Operation::Connect))
        return false;
    bool success = OpenRadioPort(false) && Expect("control\r", "into config");
    return Finish(success, Operation::Connect);
}

bool CRadioProtocol::DisconnectRadio() {
    if (!BeginOperation(Operation::Disconnect))
        return false;
    bool success = OpenRadioPort(false) && Expect("exitcnt\r", "exit config");
    return Finish(success, Operation::Disconnect);
}

bool CRadioProtocol::ReadAll() {
    if (!BeginOperation(Operation::Read))
        return false;
    RadioSettings& s = m_settings;
    // `ok` decides whether the next step runs; the tolerated answers of the protocol and
    // link-rate steps set it again so the read goes on. `failed` remembers any step that went
    // wrong outside those tolerances: the read is then reported failed even if later steps
    // succeed.
    bool ok = OpenRadioPort(false);
    bool failed = !ok;
    // `what` says what the reply lacked; a missing reply names its own cause.
    auto fail = [&](const char* what) {
        ok = false;
        failed = true;
        NoteBadReply(what);
    };

    // Current channel.
    if (ok) {
        std::optional<int> channel;
        if (SendCommand("cfg_ch_n\r"))
            channel = CurrentChannelIndex(ReplyBuffer());
        if (channel)
            s.CurrentChannel->select(*channel);
        else
            fail("names no channel");
    }

    // Protocol. An unknown protocol ("UNKNOW") is tolerated: the selector says so and the
    // read goes on.
    bool protocolFailed = false;
    if (ok) {
        if (SendCommand("cfg_prtl\r")) {
            int protocol = ProtocolIndexOf(ReplyBuffer());
            if (protocol >= 0)
                s.ProtocolType->select(protocol);
            protocolFailed = protocol < 0;
        } else {
            protocolFailed = true;
        }
        ok = !protocolFailed;
    }
    if (ReplyContains("KNOW")) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        s.ProtocolType->showUnknown();
        ok = true;
    } else if (protocolFailed) {
        failed = true;
        NoteBadReply("names no protocol");
    }

    // Port rate.
    if (ok) {
        if (SendCommand("cfg_sbau\r")) {
            int rate = PortRateIndexOf(ReplyBuffer());
            s.PortBaudRate->select(rate);
            if (rate < 0)
                fail("names no port rate");
        } else {
            fail("");
        }
    }

    // Bandwidth.
    if (ok) {
        if (SendCommand("cfg_bw\r")) {
            int bandwidth = BandwidthIndexOf(ReplyBuffer());
            s.Bandwidth->select(bandwidth);
            if (bandwidth < 0)
                fail("names no bandwidth");
        } else {
            fail("");
        }
    }

    // Link rate. A radio that does not answer is tolerated: the selector then holds the
    // single entry "UNKNOW".
    bool linkAnswered = false;
    if (ok && SendCommand("cfg_baud\r")) {
        linkAnswered = true;
        std::string rate = LinkRateTextOf(ReplyBuffer());
        for (int i = 0; i < 5; ++i) {
            s.LinkBaudRate->select(i);
            std::string entry = s.LinkBaudRate->selectedText();
            if (!entry.empty() && rate.find(entry) != std::string::npos)
                break;
        }
        if (rate.empty())
            fail("names no link rate");
    }
    if (!linkAnswered) {
        s.LinkBaudRate->clear();
        s.LinkBaudRate->add("UNKNOW");
        if (ReplyContains("UNKNOW"))
            s.LinkBaudRate->select(0);
        ok = true;
    }

    // Powers, then the firmware version.
    if (ok) {
        bool stepOk = false;
        if (SendCommand("cfg_pwrh\r")) {
            int high = PowerIndexOf(ReplyText());
            s.HighPower->select(high);
            if (high >= 0 && high <= 2 && SendCommand("cfg_pwrl\r")) {
                int low = PowerIndexOf(ReplyText());
                s.LowPower->select(low);
                if (low >= 0 && low <= 2 && SendCommand("cfg_firm\r")) {
                    s.FirmwareVersion->setText(ReplyText());
                    stepOk = true;
                }
            }
        }
        if (!stepOk)
            fail("names no power in range");
    }

    // Hardware version and serial number.
    if (ok) {
        if (SendCommand("cfg_hard\r"))
            s.HardwareVersion->setText(ReplyText());
        else
            fail("");
    }
    if (ok) {
        if (SendCommand("cfg_sern\r"))
            s.SerialNumber->setText(ReplyText());
        else
            fail("");
    }
    s.SerialNumber->setText(CutText(s.SerialNumber->text(), 9));
    s.HardwareVersion->setText(CutText(s.HardwareVersion->text(), 4));

    // Sub-firmware version.
    if (ok) {
        if (SendCommand("SREV\r"))
            s.SubFirmwareVersion->setText(ReplyText());
        else
            fail("");
    }

    // Transmit, then receive frequencies of the used slots; the first slot without its
    // answer ends the read.
    for (bool transmit : {true, false}) {
        for (int slot = 1; ok && slot <= ChannelCount; ++slot) {
            std::string command = std::string(transmit ? "cfg_ch_" : "cfg_rx_ch_") +
                                  static_cast<char>('0' + slot) + "\r";
            std::optional<std::string> frequency;
            if (SendCommand(command))
                frequency = FrequencyOf(ReplyBuffer(), slot);
            if (frequency)
                s.FrequencyField(slot, transmit)->setText(*frequency);
            else
                fail("holds no frequency for the slot");
        }
    }

    // Work mode.
    if (ok) {
        if (SendCommand("cfg_mode\r")) {
            int mode = WorkModeIndexOf(ReplyBuffer());
            s.workMode->select(mode);
            if (mode < 0)
                fail("names no work mode");
        } else {
            fail("");
        }
    }

    // Addresses.
    bool addressesRead = false;
    if (ok && SendCommand("cfg_srcx\r")) {
        s.SRC->setText(ReplyText());
        if (SendCommand("cfg_dstx\r")) {
            s.DST->setText(ReplyText());
            addressesRead = true;
        }
    }

    if (ok && !addressesRead)
        NoteExchangeFailure();
    return Finish(addressesRead && !failed, Operation::Read);
}

bool CRadioProtocol::WriteAll() {
    if (!BeginOperation(Operation::Write))
        return false;
    RadioSettings& s = m_settings;
    bool ok = s.CheckFrequenciesForWrite(m_host);
    if (ok) {
        // The first five only show their messages (the first empty one of them); the write
        // goes on without the commands of empty selectors.
        const std::pair<const ISelector*, const ILabel*> optional[] = {
            {s.ProtocolType, s.ProtocolTypeLabel},
            {s.CurrentChannel, s.CurrentChannelLabel},
            {s.PortBaudRate, s.PortBaudRateLabel},
            {s.LinkBaudRate, s.LinkBaudRateLabel},
            {s.workMode, s.workModeLabel}};
        for (const auto& [field, label] : optional) {
            if (!CheckNotEmpty(field, label))
                break;
        }
        CheckNotEmpty(s.HighPower, s.HighPowerLabel);
        ok = CheckNotEmpty(s.LowPower, s.LowPowerLabel);
        if (ok && s.SerialNumberUnlocked)
            ok = CheckNotEmpty(s.SerialNumber, s.SerialNumberLabel);
        if (ok && s.HardwareUnlocked)
            ok = CheckNotEmpty(s.HardwareVersion, s.HardwareVersionLabel);
    }
    // Every value the radio would refuse, or that would break a command line, is found before
    // the port is opened: nothing is sent when one is wrong.
    std::vector<std::string> problems = CheckWriteValues(s);
    if (!problems.empty()) {
        std::string detail = "write refused, nothing sent";
        for (const std::string& problem : problems)
            detail += "; " + problem;
        NoteFailure(FailureKind::Radio, detail);
        ok = false;
    }
    s.NormaliseAddresses();
    if (ok)
        ok = OpenRadioPort(false);
    if (ok) {
        // Every command is sent only while all before it succeeded.
        for (const std::string& line : PlanWrite(s)) {
            if (!Expect(line + "\r", "OK")) {
                ok = false;
                break;
            }
        }
    }

    s.HardwareVersion->setEnabled(false);
    s.SerialNumber->setEnabled(false);
    s.SerialNumberUnlocked = false;
    s.HardwareUnlocked = false;
    return Finish(ok, Operation::Write);
}

CRadioProtocol::Counters CRadioProtocol::GetCounters() const {
    return Counters{m_commands.load(), m_bytesSent.load(), m_bytesReceived.load(),
                    m_replyBytes.load()};
}

void CRadioProtocol::ResetCounters() {
    m_commands = 0;
    m_bytesSent = 0;
    m_bytesReceived = 0;
    m_replyBytes = 0;
}

} // namespace radio
