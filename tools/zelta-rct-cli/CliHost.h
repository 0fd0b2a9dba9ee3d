#pragma once
// The host of the command-line tool: English texts, the port settings given on the command
// line, message boxes and the status line on standard error with the cause of a failure beside
// the status word, and the upgrade's progress there (pages, bytes per second, time left).
// Everything runs on the main thread, the upgrade included, so every call comes from it.

#include "radio/RadioHost.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace cli {

class CCliHost : public radio::IRadioHost {
public:
    CCliHost(std::string port, int baudRate, std::FILE* out);

    std::string Text(radio::TextId id) const override;
    bool IsChinese() const override { return false; }
    void MessageBox(const std::string& text, const std::string& caption,
                    radio::MessageIcon icon) override;
    // There is no dialog: the file comes from the command line, so a request is a cancel.
    bool ChooseFile(const radio::FileDialogOptions& options, std::string& path) override;
    std::string Caption(radio::Operation operation) const override;
    void SetStatusLine(const std::string& text, int paddingRight,
                       radio::Colour background) override;
    std::string SelectedPortEntry() const override { return " " + m_port; }
    std::string SelectedBaudEntry() const override { return " " + std::to_string(m_baudRate); }
    void ReportFailure(const radio::Failure& failure) override;
    void UpgradeBusy(bool busy) override;
    void UpgradeProgress(int progress) override;
    void UpgradeFinished(bool success) override;

    // Heads the following status lines ("Backup: Read OK"); empty for none.
    void SetStep(const std::string& step) { m_step = step; }
    // A line printed after a failure of the radio itself (no reply, a wrong reply): what the
    // user can check.
    void SetHint(const std::string& hint) { m_hint = hint; }
    // The size of the firmware file the next upgrade sends, for its page count and time left.
    void SetFirmwareSize(int64_t size) { m_firmwareSize = size; }

    // The exit status of the last failure reported: 3 port, 4 file, 1 anything else.
    int FailureExitStatus() const;

private:
    // Ends a progress line drawn in place before other output.
    void EndProgressLine();
    void ShowProgress(int percent, int64_t pagesDone);

    std::string m_port;
    int m_baudRate;
    std::FILE* m_out;
    bool m_terminal;
    std::string m_step;
    std::string m_hint;

    std::optional<radio::Failure> m_pending; // reported, not yet printed beside its status
    std::optional<radio::FailureKind> m_lastKind;

    int64_t m_firmwareSize = 0;
    int64_t m_pagesDone = 0;
    std::chrono::steady_clock::time_point m_upgradeStart;
    int m_shownPercent = -1;
    bool m_progressOpen = false; // a progress line drawn in place awaits its line end
};

} // namespace cli
