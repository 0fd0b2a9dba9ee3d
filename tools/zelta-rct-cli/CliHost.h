#pragma once
// The host of the command-line tool: English texts, the port settings given on the command
// line, message boxes and the status line on standard error, and a progress bar there while
// a firmware upgrade runs. The upgrade runs on the main thread, so every call comes from it.

#include "radio/RadioHost.h"

#include <cstdio>
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

private:
    // Ends a progress bar line before other output.
    void EndProgressLine();

    std::string m_port;
    int m_baudRate;
    std::FILE* m_out;
    bool m_terminal;
    int m_shownPercent = -1;
};

} // namespace cli
