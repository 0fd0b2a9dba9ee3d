// The main window against the simulated radio on a pseudo-terminal: connect and read into the
// fields, a failure's cause beside the status, and the firmware upgrade chosen from the File
// menu and run on the worker thread.

#include "tests/app/MainWindowFixture.h"

#include "pane/controls/Button.h"
#include "pane/controls/ComboBox.h"
#include "pane/controls/Edit.h"
#include "pane/controls/Label.h"
#include "radio/Upgrade.h"
#include "tools/zelta-radiosim/SimProcess.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace app::test {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RadioWindowTest : public MainWindowTest {
protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        m_sim.reset();
        ::unsetenv("ZELTA_RCT_EXTRA_PORTS");
        for (const std::string& file : m_files)
            std::remove(file.c_str());
    }

    // Starts the simulator, opens the window and selects the simulator's line.
    DlgMain& OpenOnSimulator(std::vector<std::string> args = {}) {
        m_sim = std::make_unique<radiosim::SimProcess>(
            std::string(ZELTA_BIN_DIR) + "/zelta-radiosim", std::move(args));
        EXPECT_FALSE(m_sim->Path().empty()) << "the simulator did not start";
        ::setenv("ZELTA_RCT_EXTRA_PORTS", m_sim->Path().c_str(), 1);
        DlgMain& w = OpenWindow();
        Do("click port");
        Do("click @ " + m_sim->Path());
        return w;
    }

    // A firmware file of `size` bytes, answered in the next file dialog.
    std::string OfferFirmware(size_t size) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 7 + i / 256);
        const std::string file = Keep(TempFile("radio.dwn"));
        std::ofstream(file, std::ios::binary) << bytes;
        AnswerFileDialog({"type " + file, "key Return"});
        return bytes;
    }

    std::string Keep(const std::string& file) {
        m_files.push_back(file);
        return file;
    }

    std::string Status(radio::TextId word, const Pane::CControlUI* control) {
        return Text(control) + window->Host().Text(word);
    }

private:
    std::unique_ptr<radiosim::SimProcess> m_sim;
    std::vector<std::string> m_files;
};

TEST_F(RadioWindowTest, ConnectAndReadFillTheFieldsWhileAnEditLeftForTheReadStaysPending) {
    DlgMain& w = OpenOnSimulator();
    MainControls& c = w.Controls();
    Do("click btnConnect");
    EXPECT_EQ(Text(c.status), Status(radio::TextId::MsgSuccess, c.btnConnect));

    // The Read button takes the focus without checking the edit just left.
    Do("click tx3");
    Do("type 500");
    Do("click btnRead");
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(w.IsFrequencyDirty(3, true));
    EXPECT_EQ(Text(c.status), Status(radio::TextId::MsgSuccess, c.btnRead));
    EXPECT_EQ(c.status->BkColor(), radio::kSuccessColour);
    EXPECT_TRUE(c.status->ToolTip().IsEmpty());

    EXPECT_EQ(Text(c.tx[3].edit), "431.00000");
    EXPECT_EQ(Text(c.subFirmware.edit), "S1.03");
    // TRIMTALK at 25.0 kHz: its own link rates, 9600 fixed.
    EXPECT_EQ(c.protocol.combo->GetCurSel(), 0);
    ASSERT_EQ(c.linkBaud.combo->GetCount(), 2);
    EXPECT_EQ(Text(c.linkBaud.combo->GetItemAt(c.linkBaud.combo->GetCurSel())), " 9600");
    EXPECT_FALSE(c.linkBaud.combo->IsMouseEnabled());

    // The next control outside the list checks the edit, now holding the radio's value.
    Do("click src");
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(w.IsFrequencyDirty(3, true));
}

TEST_F(RadioWindowTest, AFailureShowsItsCauseBesideTheStatusUntilTheNextSuccess) {
    DlgMain& w = OpenOnSimulator({"--fault", "drop=2@control"}); // every second answer lost
    MainControls& c = w.Controls();
    Do("click btnConnect");
    ASSERT_EQ(c.status->BkColor(), radio::kSuccessColour);

    Do("click btnConnect");
    EXPECT_EQ(Text(c.status), Status(radio::TextId::MsgError, c.btnConnect));
    EXPECT_EQ(c.status->BkColor(), radio::kFailureColour);
    const std::string cause = c.status->ToolTip().GetData();
    EXPECT_NE(cause.find(Text(c.port.combo).substr(1)), std::string::npos) << cause;
    EXPECT_NE(cause.find("control"), std::string::npos) << cause;

    Do("click btnConnect");
    EXPECT_EQ(c.status->BkColor(), radio::kSuccessColour);
    EXPECT_TRUE(c.status->ToolTip().IsEmpty());
}

TEST_F(RadioWindowTest, UpgradeFromTheFileMenuLocksShowsProgressAndReports) {
    const std::string image = Keep(TempFile("image.out"));
    DlgMain& w = OpenOnSimulator({"--firmware-out", image});
    MainControls& c = w.Controls();
    // The first page, three more from offset 4096, and a tail that is not sent.
    const std::string firmware = OfferFirmware(4096 + 256 * 3 + 100);
    ChooseMenuEntry("menuFile", "itemUpgrade");

    bool sawLocked = false;
    bool sawProgress = false;
    ASSERT_TRUE(PumpUntil([&] {
        sawLocked = sawLocked || (!c.btnConnect->IsEnabled() && !c.itemWrite->IsEnabled());
        sawProgress = sawProgress || c.status->BkColor() == radio::kProgressColour;
        return c.status->BkColor() == radio::kSuccessColour ||
               c.status->BkColor() == radio::kFailureColour;
    }));
    EXPECT_TRUE(sawLocked);
    EXPECT_TRUE(sawProgress);
    EXPECT_EQ(Text(c.status), Status(radio::TextId::MsgSuccess, c.itemUpgrade));
    ASSERT_TRUE(PumpUntil([&] { return c.btnConnect->IsEnabled() && !w.Worker().Busy(); }));

    const std::string expected = firmware.substr(0, 256) + firmware.substr(4096, 768);
    ASSERT_TRUE(PumpUntil([&] { return ReadFile(image).size() == expected.size(); }));
    EXPECT_EQ(ReadFile(image), expected);
}

TEST_F(RadioWindowTest, ClosingDuringAnUpgradeEndsItPromptly) {
    // A slow boot loader makes two hundred pages last more than a minute.
    DlgMain& w = OpenOnSimulator({"--fault", "delay=300@write page"});
    OfferFirmware(4096 + 256 * 200);
    w.RequestUpgrade();
    ASSERT_TRUE(PumpUntil([&] { return !w.Controls().btnConnect->IsEnabled(); }));

    const auto start = std::chrono::steady_clock::now();
    CloseWindow();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
} // namespace app::test
