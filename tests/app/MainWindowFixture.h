#pragma once
// The main window on the headless backend for the application's tests: a configuration folder
// of its own (the stored settings start empty), automation lines run as a user would act, and
// the modal windows answered from inside their own loops — every message box closed with OK and
// its text kept, a file dialog given the lines the test prepared.

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

    // Constructs the window (created, centred, shown) and lets it settle.
    DlgMain& OpenWindow();
    // Destroys it: the settings are saved, the worker stopped.
    void CloseWindow();

    // Runs one automation line ("click btnRead", "type 500") and handles what it queued; a
    // line that cannot be done fails the test.
    void Do(const std::string& line);
    // Handles queued messages (and calls other threads wait for) until `done`, at most
    // `limit`; false when the time ran out.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::seconds(20));

    // Lines run, one per idle turn, in the next file dialog that opens.
    void AnswerFileDialog(std::vector<std::string> lines);

    // The entry of the serial port list that names `path`; -1 when there is none.
    int PortEntry(const std::string& path);

    // The texts of the message boxes shown so far.
    std::vector<std::string> boxes;
    std::unique_ptr<DlgMain> window;
    std::string configHome;

private:
    void OnIdle();

    std::deque<std::string> m_dialogLines;
    Pane::CScriptPlayer m_dialogPlayer;
};

// A unique file name in the test's temporary folder.
std::string TempFile(const std::string& name);

} // namespace app::test
