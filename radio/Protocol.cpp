#include "radio/Protocol.h"

#include "radio/Replies.h"

#include <thread>
#include <utility>

namespace radio {

namespace {

// A value put into a command must not hold line ends or other control bytes: a carriage
// return inside an imported frequency or address would end the command there and make the
// rest a second command of its own.
bool IsSafeArgument(const std::string& value) {
    for (unsigned char c : value) {
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

std::string LabelText(const ILabel* label) {
    return label ? label->text() : std::string();
}

// The port name of a port list entry: the entry without its leading space.
std::string PortNameOf(const std::string& entry) {
    size_t first = entry.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : entry.substr(first);
}

} // namespace

CRadioProtocol::CRadioProtocol(IRadioHost& host, RadioSettings& settings)
    : m_host(host), m_settings(settings), m_port(this) {}

CRadioProtocol::~CRadioProtocol() {
    m_port.Close();
}

void CRadioProtocol::OnSerialByte(uint8_t byte) {
    ++m_bytesReceived;
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
    {
        std::lock_guard<std::mutex> lock(m_replyLock);
        m_reply.Clear();
    }
    ++m_commands;
    if (!m_port.QueueWrite(bytes, length))
        return false; // no open port, or more than one write can carry
    m_bytesSent += length;
    std::unique_lock<std::mutex> lock(m_replyLock);
    return m_replyDone.wait_for(lock, kReplyLimit, [this] { return m_reply.Complete(); });
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

bool CRadioProtocol::OpenRadioPort(bool bootRate) {
    m_openPort = PortNameOf(m_host.SelectedPortEntry());
    m_openBaud = bootRate ? kBootRate : ReadInteger(m_host.SelectedBaudEntry());
    if (m_openPort.empty()) {
        m_host.ShowPortError("no serial port selected");
        return false;
    }
    if (!m_port.Open(m_openPort, m_openBaud)) {
        m_host.ShowPortError(m_port.LastError());
        return false;
    }
    if (!m_port.StartThread()) {
        m_host.ShowPortError(m_openPort + ": the serial thread could not be started");
        return false;
    }
    return true;
}

void CRadioProtocol::ReportResult(bool success, Operation operation) {
    std::string text =
        m_host.Caption(operation) + m_host.Text(success ? TextId::MsgSuccess : TextId::MsgError);
    m_host.SetStatusLine(text, 0, success ? kSuccessColour : kFailureColour);
    m_port.Close();
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
    bool success = OpenRadioPort(false) && SendCommand("control\r") && ReplyContains("into config");
    ReportResult(success, Operation::Connect);
    return success;
}

bool CRadioProtocol::DisconnectRadio() {
    bool success = OpenRadioPort(false) && SendCommand("exitcnt\r") && ReplyContains("exit config");
    ReportResult(success, Operation::Disconnect);
    return success;
}

bool CRadioProtocol::ReadAll() {
    RadioSettings& s = m_settings;
    // `ok` decides whether the next step runs; the tolerated answers of the protocol and
    // link-rate steps set it again so the read goes on. `failed` remembers any step that went
    // wrong outside those tolerances: the read is then reported failed even if later steps
    // succeed.
    bool ok = OpenRadioPort(false);
    bool failed = !ok;
    auto fail = [&] {
        ok = false;
        failed = true;
    };

    // Current channel.
    if (ok) {
        std::optional<int> channel;
        if (SendCommand("cfg_ch_n\r"))
            channel = CurrentChannelIndex(ReplyBuffer());
        if (channel)
            s.CurrentChannel->select(*channel);
        else
            fail();
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
    }

    // Port rate.
    if (ok) {
        if (SendCommand("cfg_sbau\r")) {
            int rate = PortRateIndexOf(ReplyBuffer());
            s.PortBaudRate->select(rate);
            if (rate < 0)
                fail();
        } else {
            fail();
        }
    }

    // Bandwidth.
    if (ok) {
        if (SendCommand("cfg_bw\r")) {
            int bandwidth = BandwidthIndexOf(ReplyBuffer());
            s.Bandwidth->select(bandwidth);
            if (bandwidth < 0)
                fail();
        } else {
            fail();
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
            fail();
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
            fail();
    }

    // Hardware version and serial number.
    if (ok) {
        if (SendCommand("cfg_hard\r"))
            s.HardwareVersion->setText(ReplyText());
        else
            fail();
    }
    if (ok) {
        if (SendCommand("cfg_sern\r"))
            s.SerialNumber->setText(ReplyText());
        else
            fail();
    }
    s.SerialNumber->setText(CutText(s.SerialNumber->text(), 9));
    s.HardwareVersion->setText(CutText(s.HardwareVersion->text(), 4));

    // Sub-firmware version.
    if (ok) {
        if (SendCommand("SREV\r"))
            s.SubFirmwareVersion->setText(ReplyText());
        else
            fail();
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
                fail();
        }
    }

    // Work mode.
    if (ok) {
        if (SendCommand("cfg_mode\r")) {
            int mode = WorkModeIndexOf(ReplyBuffer());
            s.workMode->select(mode);
            if (mode < 0)
                fail();
        } else {
            fail();
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

    bool success = addressesRead && !failed;
    ReportResult(success, Operation::Read);
    return success;
}

bool CRadioProtocol::WriteAll() {
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
    s.NormaliseAddresses();
    if (ok)
        ok = OpenRadioPort(false);

    // Every command is sent only while all before it succeeded.
    auto send = [&](const std::string& head, const std::string& value) {
        if (ok)
            ok = IsSafeArgument(value) && SendCommandExpectOK(head + value + "\r");
    };
    for (bool transmit : {true, false}) {
        for (int slot = 1; slot <= ChannelCount; ++slot)
            send(std::string(transmit ? "cfg_ch_" : "cfg_rx_ch_") + std::to_string(slot) + " ",
                 s.FrequencyField(slot, transmit)->text());
    }
    if (int channel = s.CurrentChannel->selected(); channel >= 0)
        send("cfg_ch_n ", std::to_string(channel + 1));
    if (int rate = s.PortBaudRate->selected(); rate >= 0)
        send("cfg_sbau ", std::to_string(rate + 1));
    if (s.LinkBaudRate->selected() >= 0)
        send("cfg_baud ", std::to_string(LinkRateCode(s.LinkBaudRate->selectedText())));
    if (int bandwidth = s.Bandwidth->selected(); bandwidth == 0 || bandwidth == 1)
        send("cfg_bw ", kBandwidths[static_cast<size_t>(bandwidth)].code);
    if (int mode = s.workMode->selected(); mode >= 0 && mode <= 2)
        send("cfg_mode ", kWorkModes[static_cast<size_t>(mode)].code);
    if (std::string src = s.SRC->text(); !src.empty())
        send("cfg_srcx ", src);
    if (std::string dst = s.DST->text(); !dst.empty())
        send("cfg_dstx ", dst);
    if (int protocol = s.ProtocolType->selected(); protocol >= 0)
        send("cfg_prtl ", std::to_string(ProtocolCode(protocol)));
    if (s.HighPower->count() > 1 && s.HighPower->selected() >= 0)
        send("cfg_pwrh ", std::to_string(s.HighPower->selected() + 1));
    if (s.LowPower->count() > 1 && s.LowPower->selected() >= 0)
        send("cfg_pwrl ", std::to_string(s.LowPower->selected() + 1));
    if (s.SerialNumberUnlocked)
        send("cfg_sern ", s.SerialNumber->text());
    if (s.HardwareUnlocked)
        send("cfg_hard ", s.HardwareVersion->text());

    s.HardwareVersion->setEnabled(false);
    s.SerialNumber->setEnabled(false);
    s.SerialNumberUnlocked = false;
    s.HardwareUnlocked = false;
    ReportResult(ok, Operation::Write);
    return ok;
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
