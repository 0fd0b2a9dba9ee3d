#include "tests/app/MainWindowFixture.h"

#include "pane/controls/ComboBox.h"
#include "pane/core/Automation.h"
#include "pane/core/Control.h"
#include "platform/backends/Headless.h"
#include "platform/win/Window.h"

#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace app::test {

std::string TempFile(const std::string& name) {
    static int counter = 0;
    return ::testing::TempDir() + "app_" + std::to_string(::getpid()) + "_" +
           std::to_string(++counter) + "_" + name;
}

void MainWindowTest::SetUp() {
    ::setenv("PANE_BACKEND", "headless", 1);
    std::string folder = TempFile("config_XXXXXX");
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    configHome = folder;
    ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    ASSERT_TRUE(plat::Initialise());
    plat::headless::SetIdleHook([this] { OnIdle(); });
}

void MainWindowTest::TearDown() {
    CloseWindow();
    plat::headless::SetIdleHook(nullptr);
    plat::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(configHome, ignored);
}

DlgMain& MainWindowTest::OpenWindow() {
    window = std::make_unique<DlgMain>();
    EXPECT_NE(window->GetHWND(), nullptr);
    Pane::PumpMessages();
    return *window;
}

void MainWindowTest::CloseWindow() {
    window.reset();
    Pane::PumpMessages();
}

void MainWindowTest::Do(const std::string& line) {
    Pane::CScriptPlayer player;
    std::string why;
    for (;;) {
        const auto status = player.RunLine(line, &why);
        Pane::PumpMessages();
        if (status == Pane::CScriptPlayer::LineStatus::Failed) {
            ADD_FAILURE() << line << ": " << why;
            return;
        }
        if (status == Pane::CScriptPlayer::LineStatus::Done)
            return;
    }
}

bool MainWindowTest::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        Pane::PumpMessages();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void MainWindowTest::AnswerFileDialog(std::vector<std::string> lines) {
    m_dialogLines.assign(lines.begin(), lines.end());
}

int MainWindowTest::PortEntry(const std::string& path) {
    Pane::CComboBoxUI* ports = window->Controls().port.combo;
    for (int i = 0; i < ports->GetCount(); ++i)
        if (ports->GetItemAt(i)->GetText() == (" " + path).c_str())
            return i;
    return -1;
}

void MainWindowTest::OnIdle() {
    const plat::HWND active = plat::GetActiveWindow();
    std::string className;
    if (active != nullptr)
        plat::GetClassName(active, &className);
    if (className == "PaneMessageBox") {
        Pane::CControlUI* text = Pane::FindAutomationControl("text");
        boxes.push_back(text != nullptr ? text->GetText().GetData() : "");
        plat::PostMessage(active, plat::WM_CLOSE, 0, 0);
        return;
    }
    if (className == "PaneFileDialog" && !m_dialogLines.empty()) {
        std::string why;
        const std::string line = m_dialogLines.front();
        const auto status = m_dialogPlayer.RunLine(line, &why);
        if (status == Pane::CScriptPlayer::LineStatus::Failed)
            ADD_FAILURE() << line << ": " << why;
        if (status != Pane::CScriptPlayer::LineStatus::Pending)
            m_dialogLines.pop_front();
        return;
    }
    // Nothing to answer: another thread's call or a timer is what the loop waits for.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace app::test
