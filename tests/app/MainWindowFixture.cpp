#include "tests/app/MainWindowFixture.h"

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
    m_configHome = TempFile("config_XXXXXX");
    ASSERT_NE(::mkdtemp(m_configHome.data()), nullptr);
    ::setenv("XDG_CONFIG_HOME", m_configHome.c_str(), 1);
    ASSERT_TRUE(plat::Initialise());
    plat::headless::SetIdleHook([this] { OnIdle(); });
}

void MainWindowTest::TearDown() {
    CloseWindow();
    plat::headless::SetIdleHook(nullptr);
    plat::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(m_configHome, ignored);
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
    Pane::CScriptPlayer::LineStatus status;
    do {
        status = player.RunLine(line, &why);
        Pane::PumpMessages();
    } while (status == Pane::CScriptPlayer::LineStatus::Pending);
    if (status == Pane::CScriptPlayer::LineStatus::Failed)
        ADD_FAILURE() << line << ": " << why;
}

void MainWindowTest::ChooseMenuEntry(const std::string& menu, const std::string& entry) {
    Do("click " + menu);
    Do(menu == "menuHelp" ? "move menuFile" : "move menuHelp");
    Do("move " + menu);
    Do("click " + entry);
}

bool MainWindowTest::PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Pane::PumpMessages(), !done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void MainWindowTest::OnIdle() {
    const plat::HWND active = plat::GetActiveWindow();
    std::string className;
    if (active != nullptr)
        plat::GetClassName(active, &className);
    if (className == "PaneMessageBox") {
        Pane::CControlUI* text = Pane::FindAutomationControl("text");
        boxes.push_back(text != nullptr ? Text(text) : "");
        plat::PostMessage(active, plat::WM_CLOSE, 0, 0);
    } else if (className == "PaneFileDialog" && !m_dialogLines.empty()) {
        std::string why;
        const auto status = m_dialogPlayer.RunLine(m_dialogLines.front(), &why);
        if (status == Pane::CScriptPlayer::LineStatus::Failed)
            ADD_FAILURE() << m_dialogLines.front() << ": " << why;
        if (status != Pane::CScriptPlayer::LineStatus::Pending)
            m_dialogLines.pop_front();
    } else {
        // Nothing to answer: the loop waits for another thread's call or a timer.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace app::test
