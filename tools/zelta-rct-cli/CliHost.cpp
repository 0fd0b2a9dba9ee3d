#include "tools/zelta-rct-cli/CliHost.h"

#include "radio/Protocol.h"
#include "radio/Upgrade.h"

#include <algorithm>
#include <unistd.h>

namespace cli {

CCliHost::CCliHost(std::string port, int baudRate, std::FILE* out)
    : m_port(std::move(port)), m_baudRate(baudRate), m_out(out),
      m_terminal(::isatty(::fileno(out)) == 1) {}

std::string CCliHost::Text(radio::TextId id) const {
    switch (id) {
        case radio::TextId::MsgError:
            return " Error";
        case radio::TextId::MsgSuccess:
            return " OK";
        case radio::TextId::MsgInvalid:
            return " Invalid!";
        case radio::TextId::MsgLaunchCh:
            return " TX Channel";
        case radio::TextId::MsgReceiveCh:
            return " RX Channel";
    }
    return {};
}

void CCliHost::MessageBox(const std::string& text, const std::string& caption, radio::MessageIcon) {
    EndProgressLine();
    std::string head = caption;
    while (!head.empty() && head.front() == ' ')
        head.erase(head.begin());
    std::fprintf(m_out, "%s: %s\n", head.empty() ? "Message" : head.c_str(), text.c_str());
}

bool CCliHost::ChooseFile(const radio::FileDialogOptions&, std::string&) {
    return false;
}

std::string CCliHost::Caption(radio::Operation operation) const {
    switch (operation) {
        case radio::Operation::Connect:
            return "Connect";
        case radio::Operation::Disconnect:
            return "Disconnect";
        case radio::Operation::Read:
            return "Read";
        case radio::Operation::Write:
            return "Write";
        case radio::Operation::Import:
            return "Import";
        case radio::Operation::Export:
            return "Export";
        case radio::Operation::Upgrade:
            return "Upgrade";
    }
    return {};
}

void CCliHost::SetStatusLine(const std::string& text, int, radio::Colour background) {
    // The progress display empties the text; only results are printed.
    if (text.empty())
        return;
    EndProgressLine();
    std::string line = m_step.empty() ? text : m_step + ": " + text;
    // The cause goes beside the failure word it explains.
    bool radioFailed = false;
    if (background == radio::kFailureColour && m_pending) {
        line += ": " + m_pending->detail;
        radioFailed = m_pending->kind == radio::FailureKind::Radio;
        m_pending.reset();
    }
    std::fprintf(m_out, "%s\n", line.c_str());
    if (radioFailed && !m_hint.empty())
        std::fprintf(m_out, "%s\n", m_hint.c_str());
    std::fflush(m_out);
}

void CCliHost::ReportFailure(const radio::Failure& failure) {
    m_pending = failure;
    m_lastKind = failure.kind;
}

int CCliHost::FailureExitStatus() const {
    if (!m_lastKind)
        return 1;
    switch (*m_lastKind) {
        case radio::FailureKind::Port:
            return 3;
        case radio::FailureKind::File:
            return 4;
        case radio::FailureKind::Radio:
            break;
    }
    return 1;
}

void CCliHost::UpgradeBusy(bool busy) {
    if (busy) {
        m_upgradeStart = std::chrono::steady_clock::now();
        m_pagesDone = 0;
        m_shownPercent = -1;
        return;
    }
    EndProgressLine();
}

void CCliHost::UpgradeProgress(int progress) {
    // Progress comes after every page but the first, which opens the transfer.
    m_pagesDone = m_pagesDone == 0 ? 2 : m_pagesDone + 1;
    progress = std::clamp(progress, 0, radio::kProgressFull);
    ShowProgress(progress / 100, m_pagesDone);
}

void CCliHost::UpgradeFinished(bool success) {
    // A final part shorter than a page is not sent, and a file of one page sends no progress:
    // a transfer that went through ends at 100 % all the same.
    if (success && m_shownPercent != 100)
        ShowProgress(100, m_pagesDone == 0 ? 1 : m_pagesDone);
    EndProgressLine();
}

void CCliHost::ShowProgress(int percent, int64_t pagesDone) {
    // On a terminal one line redrawn in place at every page; into a file or pipe a line every
    // ten percent.
    if (!m_terminal && m_shownPercent >= 0 && percent / 10 == m_shownPercent / 10)
        return;
    m_shownPercent = percent;
    int64_t pages =
        m_firmwareSize > radio::kFirmwarePagesOffset
            ? 1 + (m_firmwareSize - radio::kFirmwarePagesOffset) / radio::kFirmwarePageSize
            : pagesDone;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_upgradeStart).count();
    double bytesPerSecond =
        seconds > 0 ? static_cast<double>(pagesDone * radio::kFirmwarePageSize) / seconds : 0;
    double left =
        bytesPerSecond > 0
            ? static_cast<double>((pages - pagesDone) * radio::kFirmwarePageSize) / bytesPerSecond
            : 0;
    std::fprintf(m_out, "%sUpgrade %3d %%  page %lld of %lld  %.0f bytes/s  %.0f s left%s",
                 m_terminal ? "\r" : "", percent, static_cast<long long>(pagesDone),
                 static_cast<long long>(pages), bytesPerSecond, left, m_terminal ? "  " : "\n");
    std::fflush(m_out);
    m_progressOpen = m_terminal;
}

void CCliHost::EndProgressLine() {
    if (!m_progressOpen)
        return;
    std::fputc('\n', m_out);
    m_progressOpen = false;
}

} // namespace cli
