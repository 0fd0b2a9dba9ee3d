#pragma once
// The main window on the headless backend, with a configuration folder of its own, driven by
// automation lines as a user would act. Modal windows are answered from inside their own loops:
// a message box is closed with OK and its text kept, a file dialog gets the lines prepared.

#include "app/DlgMain.h"
#include "pane/core/Automation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace app::test {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    DlgMain& OpenWindow();
    // Destroys the window: the settings are saved, the worker stopped.
    void CloseWindow();

    // Runs one automation line ("click btnRead") and handles what it queued.
    void Do(const std::string& line);
    // Opens `menu`, moves the pointer off and back so its panel shows, chooses `entry`.
    void ChooseMenuEntry(const std::string& menu, const std::string& entry);
    // Handles messages, and the calls other threads wait for, until `done` (false after 20 s).
    bool PumpUntil(const std::function<bool()>& done);
    // Lines run, one per idle turn, in the next file dialog.
    void AnswerFileDialog(std::vector<std::string> lines) {
        m_dialogLines.assign(lines.begin(), lines.end());
    }

    std::vector<std::string> boxes; // texts of the message boxes shown
    std::unique_ptr<DlgMain> window;

private:
    void OnIdle();

    std::string m_configHome;
    std::deque<std::string> m_dialogLines;
    Pane::CScriptPlayer m_dialogPlayer;
};

inline std::string Text(const Pane::CControlUI* control) {
    return control->GetText().GetData();
}

// A unique file name in the test's temporary folder.
std::string TempFile(const std::string& name);

} // namespace app::test
