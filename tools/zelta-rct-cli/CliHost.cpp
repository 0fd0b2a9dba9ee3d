#include "tools/zelta-rct-cli/CliHost.h"

#include "radio/Upgrade.h"

#include <unistd.h>

namespace cli {

namespace {

constexpr int kBarWidth = 40;

} // namespace

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

void CCliHost::SetStatusLine(const std::string& text, int, radio::Colour) {
    // The progress display empties the text; only results are printed.
    if (text.empty())
        return;
    EndProgressLine();
    std::fprintf(m_out, "%s\n", text.c_str());
}

void CCliHost::ReportFailure(const radio::Failure& failure) {
    EndProgressLine();
    std::fprintf(m_out, "zelta-rct-cli: %s\n", failure.detail.c_str());
}

void CCliHost::UpgradeBusy(bool busy) {
    if (!busy)
        EndProgressLine();
}

void CCliHost::UpgradeProgress(int progress) {
    if (progress < 0)
        progress = 0;
    if (progress > radio::kProgressFull)
        progress = radio::kProgressFull;
    int percent = progress / 100;
    // On a terminal one line redrawn in place at every new percent; into a file or pipe a
    // line every ten percent.
    if (!m_terminal)
        percent -= percent % 10;
    if (percent == m_shownPercent)
        return;
    m_shownPercent = percent;
    int filled = progress * kBarWidth / radio::kProgressFull;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kBarWidth - filled), '.');
    std::fprintf(m_out, m_terminal ? "\rUpgrade [%s] %3d%%" : "Upgrade [%s] %3d%%\n", bar.c_str(),
                 percent);
    std::fflush(m_out);
}

void CCliHost::EndProgressLine() {
    if (m_shownPercent < 0)
        return;
    if (m_terminal)
        std::fputc('\n', m_out);
    m_shownPercent = -1;
}

} // namespace cli
