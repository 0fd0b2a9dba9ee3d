// The main window against the simulated radio on a pseudo-terminal: connecting, reading into
// the fields, a failure's cause beside the status, and the firmware upgrade chosen from the File
// menu running on the worker thread.

#include "tests/app/MainWindowFixture.h"

#include "app/Composites.h"
#include "app/MainTree.h"
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
#include <sstream>
#include <string>
#include <vector>

namespace app::test {
namespace {

std::string Text(const Pane::CControlUI* control) {
    return control->GetText().GetData();
}

std::vector<char> ReadBytes(const std::string& path) {
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
        const int entry = PortEntry(m_sim->Path());
        EXPECT_GE(entry, 0);
        w.Controls().port.combo->SelectItem(entry);
        return w;
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
    EXPECT_EQ(c.status->BkColor(), radio::kSuccessColour);

    // The Read button takes the focus without checking the edit just left.
    Do("click tx3");
    Do("type 500");
    Do("click btnRead");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Text(c.status), Status(radio::TextId::MsgSuccess, c.btnRead));
    EXPECT_EQ(c.status->BkColor(), radio::kSuccessColour);
    EXPECT_TRUE(c.status->ToolTip().IsEmpty());
    EXPECT_TRUE(w.IsFrequencyDirty(3, true));

    EXPECT_EQ(Text(c.tx[1].edit), "430.00000");
    EXPECT_EQ(Text(c.tx[3].edit), "431.00000");
    EXPECT_EQ(Text(c.rx[8].edit), "433.50000");
    EXPECT_EQ(c.protocol.combo->GetCurSel(), 0);  // TRIMTALK
    EXPECT_EQ(c.channel.combo->GetCurSel(), 0);   // channel 1
    EXPECT_EQ(c.radioBaud.combo->GetCurSel(), 2); // 38400
    EXPECT_EQ(c.bandwidth.combo->GetCurSel(), 1); // 25.0
    EXPECT_EQ(Text(c.linkBaud.combo->GetItemAt(c.linkBaud.combo->GetCurSel())), " 9600");
    EXPECT_EQ(c.workMode.combo->GetCurSel(), 1); // duplex
    EXPECT_EQ(Text(c.src.edit), "1");
    EXPECT_EQ(Text(c.dst.edit), "255");
    EXPECT_EQ(c.powerHigh.combo->GetCurSel(), 0);
    EXPECT_EQ(c.powerLow.combo->GetCurSel(), 0);
    EXPECT_EQ(Text(c.serialNumber.edit), "ZR2600001");
    EXPECT_EQ(Text(c.hardwareVersion.edit), "H1.0");
    EXPECT_EQ(Text(c.firmware.edit), "V2.10");
    EXPECT_EQ(Text(c.subFirmware.edit), "S1.03");

    // The next control outside the list checks the edit again, now holding the radio's value.
    Do("click src");
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(w.IsFrequencyDirty(3, true));
}

TEST_F(RadioWindowTest, AFailureShowsItsCauseBesideTheStatusUntilTheNextSuccess) {
    // Every second answer to "control" is lost.
    DlgMain& w = OpenOnSimulator({"--fault", "drop=2@control"});
    MainControls& c = w.Controls();
    Do("click btnConnect");
    ASSERT_EQ(c.status->BkColor(), radio::kSuccessColour);

    Do("click btnConnect");
    EXPECT_EQ(Text(c.status), Status(radio::TextId::MsgError, c.btnConnect));
    EXPECT_EQ(c.status->BkColor(), radio::kFailureColour);
    const std::string cause = c.status->ToolTip().GetData();
    EXPECT_NE(cause.find(Text(c.port.combo->GetItemAt(c.port.combo->GetCurSel())).substr(1)),
              std::string::npos)
        << cause;
    EXPECT_NE(cause.find("control"), std::string::npos) << cause;

    Do("click btnConnect");
    EXPECT_EQ(c.status->BkColor(), radio::kSuccessColour);
    EXPECT_TRUE(c.status->ToolTip().IsEmpty());
}

TEST_F(RadioWindowTest, AFailedOpenNamesThePort) {
    DlgMain& w = OpenOnSimulator();
    MainControls& c = w.Controls();
    // A regular file is not a port.
    const std::string notPort = Keep(TempFile("not-a-port"));
    std::ofstream(notPort) << "x";
    Pane::CComboBoxUI* ports = c.port.combo;
    FillPortList(c, {notPort});
    ASSERT_EQ(ports->GetCurSel(), 0);
    Do("click btnConnect");
    EXPECT_EQ(c.status->BkColor(), radio::kFailureColour);
    EXPECT_NE(std::string(c.status->ToolTip().GetData()).find(notPort), std::string::npos);
    EXPECT_EQ(ReadBytes(notPort), std::vector<char>{'x'});
}

TEST_F(RadioWindowTest, UpgradeFromTheFileMenuLocksShowsProgressAndReports) {
    const std::string image = Keep(TempFile("image.out"));
    DlgMain& w = OpenOnSimulator({"--firmware-out", image});
    MainControls& c = w.Controls();

    // Four pages: the first at offset 0, three from offset 4096, and a tail that is not sent.
    std::vector<char> firmware(4096 + 256 * 3 + 100);
    for (size_t i = 0; i < firmware.size(); ++i)
        firmware[i] = static_cast<char>(i * 7 + i / 256);
    const std::string file = Keep(TempFile("radio.dwn"));
    std::ofstream(file, std::ios::binary).write(firmware.data(), firmware.size());
    AnswerFileDialog({"type " + file, "key Return"});

    Do("click menuFile");
    Do("move menuHelp");
    Do("move menuFile");
    Do("click itemUpgrade");

    bool sawLocked = false;
    bool sawProgress = false;
    ASSERT_TRUE(PumpUntil([&] {
        sawLocked = sawLocked || (!c.btnConnect->IsEnabled() && !c.itemWrite->IsEnabled());
        sawProgress = sawProgress || c.status->BkColor() == radio::kProgressColour;
        return c.status->BkColor() == radio::kSuccessColour ||
               c.status->BkColor() == radio::kFailureColour;
    })) << "the upgrade never reported";
    EXPECT_TRUE(sawLocked);
    EXPECT_TRUE(sawProgress);
    EXPECT_EQ(Text(c.status), Status(radio::TextId::MsgSuccess, c.itemUpgrade));
    ASSERT_TRUE(PumpUntil([&] { return c.btnConnect->IsEnabled() && !w.Worker().Busy(); }));
    EXPECT_FALSE(w.Worker().Requested());

    const std::string sent(firmware.data(), firmware.size());
    const std::string expected = sent.substr(0, 256) + sent.substr(4096, 768);
    ASSERT_TRUE(PumpUntil([&] { return ReadBytes(image).size() == expected.size(); }));
    const std::vector<char> written = ReadBytes(image);
    EXPECT_EQ(std::string(written.begin(), written.end()), expected);
}

TEST_F(RadioWindowTest, ClosingDuringAnUpgradeEndsItPromptly) {
    // A slow boot loader makes the upgrade of two hundred pages last more than a minute.
    DlgMain& w = OpenOnSimulator({"--fault", "delay=300@write page"});
    MainControls& c = w.Controls();
    std::vector<char> firmware(4096 + 256 * 200, 'z');
    const std::string file = Keep(TempFile("long.dwn"));
    std::ofstream(file, std::ios::binary).write(firmware.data(), firmware.size());
    AnswerFileDialog({"type " + file, "key Return"});
    w.RequestUpgrade();
    ASSERT_TRUE(PumpUntil([&] { return !c.btnConnect->IsEnabled(); }));

    const auto start = std::chrono::steady_clock::now();
    CloseWindow();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
} // namespace app::test
