// The zelta-rct program end to end on the headless backend: a script plays what a technician
// does (connect, read, edit, write, files, menus, languages, the upgrade) against the simulated
// radio, and the radio, the files and the stored settings are checked afterwards.

#include "tests/e2e/AppProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace e2e {
namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A script built line by line, with the texts the program takes from its language files.
class Script {
public:
    explicit Script(bool first = true) : m_first(first) {}

    Script& operator<<(const std::string& line) {
        m_text += line + "\n";
        return *this;
    }
    // The language file's text for `key`; status words get the leading space the program adds.
    std::string Lang(const char* key) const { return LanguageText(m_first, key); }
    std::string Status(const char* buttonKey, bool success) const {
        return Lang(buttonKey) + " " + Lang(success ? "IDS_MSG_SUCCESS" : "IDS_MSG_ERROR");
    }
    void UseLanguage(bool first) { m_first = first; }

    // Chooses `entry` (without its leading space) from the drop-down list `combo`.
    Script& Choose(const std::string& combo, const std::string& entry) {
        return *this << "click " + combo << "click @ " + entry
                     << "expect " + combo + " text  " + entry;
    }
    // Opens a menu with a click and a move, as the menu bar needs, and picks the entry.
    Script& Menu(const std::string& menu, const std::string& entry) {
        return *this << "click " + menu << "move " + menu << "click " + entry;
    }
    // Replaces the text of an edit.
    Script& Retype(const std::string& edit, const std::string& text) {
        return *this << "click " + edit << "key Ctrl+A"
                     << "type " + text;
    }
    // Answers the open file dialog: the folder typed into its path field, then the name.
    Script& PickFile(const std::string& folder, const std::string& name) {
        Retype("path", folder);
        return *this << "key Return"
                     << "click name"
                     << "type " + name << "key Return";
    }
    Script& ConnectTo(const std::string& port) {
        Choose("port", port);
        return *this << "click btnConnect"
                     << "expect status text " + Status("IDS_BUTTON_CONNECT", true);
    }

    const std::string& Text() const { return m_text; }

private:
    bool m_first;
    std::string m_text;
};

void ExpectRan(const AppRun& run) {
    EXPECT_EQ(run.status, 0) << run.errors;
}

class AppScriptTest : public ::testing::Test {
protected:
    // The radio's settings before the test, different from the simulator's defaults.
    std::string RadioState() {
        const std::string state = home.File("radio.state");
        std::ofstream out(state);
        for (int channel = 1; channel <= 8; ++channel) {
            out << "tx" << channel << "=" << 440 + channel << ".12500\n";
            out << "rx" << channel << "=" << 450 + channel << ".25000\n";
        }
        out << "protocol=HI-TARGET\nchannel=3\nbandwidth=25.0\nmode=repeater\nsrc=12\ndst=34\n"
               "highpower=2\nlowpower=3\nserial=ZR2612345\nhardware=H2.1\nfirmware=V3.01\n"
               "subfirmware=S2.00\n";
        return state;
    }

    TestHome home;
};

TEST_F(AppScriptTest, FirstRunReadsTheRadioAndWritesWhatWasEdited) {
    auto radio = StartRadio({"--state", RadioState()});
    const std::string port = radio->Path();
    ASSERT_FALSE(port.empty());
    ASSERT_FALSE(home.HasStoredSettings());

    Script s;
    s << "expect title text " + s.Lang("IDS_NAME_VERSION")
      << "expect btnRead text " + s.Lang("IDS_BUTTON_READ")
      << "expect menuFile text " + s.Lang("IDS_MENU_FILE") << "expect baud text  38400";
    s.ConnectTo(port);
    s << "click btnRead"
      << "expect status text " + s.Status("IDS_BUTTON_READ", true) << "expect status bk #FF99FF99";
    for (int channel = 1; channel <= 8; ++channel) {
        s << "expect tx" + std::to_string(channel) + " text " + std::to_string(440 + channel) +
                 ".12500"
          << "expect rx" + std::to_string(channel) + " text " + std::to_string(450 + channel) +
                 ".25000";
    }
    s << "expect protocol text  HI-TARGET"
      << "expect channel text  " + s.Lang("IDS_CHANNEL3_TEXT")
      << "expect workMode text  " + s.Lang("IDS_VECSTRING_WORKMODE3")
      << "expect bandwidth text  25.0"
      << "expect linkBaud text  19200"
      << "expect radioBaud text  38400"
      << "expect src text 12"
      << "expect dst text 34"
      << "expect powerHigh text  30W"
      << "expect powerLow text  5W"
      << "expect serialNumber text ZR2612345"
      << "expect hardwareVersion text H2.1"
      << "expect firmware text V3.01"
      << "expect subFirmware text S2.00";

    // The link rate follows protocol and bandwidth: fixed at 12.5 kHz, free for SOUTH at 25.0.
    s.Choose("protocol", "TRIMMK3");
    s << "expect linkBaud text  19200";
    s.Choose("bandwidth", "12.5");
    s << "expect linkBaud text  4800";
    s.Choose("protocol", "SOUTH");
    s.Choose("bandwidth", "25.0");
    s.Choose("linkBaud", "9600");

    // A frequency out of the band is refused with a box and the focus goes back to its edit.
    s.Retype("tx3", "500");
    s << "click src"
      << "expect text text " + s.Lang("IDS_MSG_LAUNCH_CH").insert(0, " ") + "3 " +
             s.Lang("IDS_MSG_INVALID")
      << "click ok"
      << "expect tx3 focused true";
    s.Retype("tx3", "433.125");
    s << "click src"
      << "expect tx3 text 433.12500";

    // The serial number is written only after its unlock, which the write takes back.
    s << "expect serialNumber enabled false"
      << "click btnUnlockSn"
      << "expect serialNumber enabled true";
    s.Retype("serialNumber", "ZR2699999");
    s << "click btnWrite"
      << "expect status text " + s.Status("IDS_BUTTON_WRITE", true)
      << "expect serialNumber enabled false";
    ExpectRan(RunScript(home, s.Text(), OnPorts({port})));

    // The radio holds what was written, as another program reads it.
    int status = -1;
    const std::string read = RunCli({"--port", port, "read"}, &status);
    EXPECT_EQ(status, 0) << read;
    EXPECT_EQ(ValueOf(read, "Channel 3"), "TX 433.12500 MHz, RX 453.25000 MHz") << read;
    EXPECT_EQ(ValueOf(read, "Channel 4"), "TX 444.12500 MHz, RX 454.25000 MHz") << read;
    EXPECT_EQ(ValueOf(read, "Protocol"), "SOUTH") << read;
    EXPECT_EQ(ValueOf(read, "Link baud rate"), "9600") << read;
    EXPECT_EQ(ValueOf(read, "Serial number"), "ZR2699999") << read;
    EXPECT_TRUE(home.HasStoredSettings());
}

TEST_F(AppScriptTest, MenusFilesLanguagesAndTheAboutWindow) {
    auto radio = StartRadio({"--state", RadioState()});
    const std::string port = radio->Path();
    ASSERT_FALSE(port.empty());
    const std::string folder = home.File("configs");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);

    Script s;
    s.ConnectTo(port);
    s << "click btnRead"
      << "expect status bk #FF99FF99";

    // The menu bar opens with a click; moving over another menu button switches the panel.
    s << "click menuFile"
      << "move menuFile"
      << "expect panelFile visible true"
      << "move menuHelp"
      << "expect panelHelp visible true"
      << "expect panelFile visible false"
      << "move menuFile"
      << "expect panelFile visible true"
      << "expect panelHelp visible false";

    // Export through the file dialog, its folder and name typed into its fields.
    s << "click itemExport";
    s.PickFile(folder, "radio.cfg");
    s << "expect status text " + s.Status("IDS_BUTTON_EXPORTCFG", true);
    s.Retype("tx2", "445.5");
    s.Retype("src", "99");
    s << "click btnImport";
    s.PickFile(folder, "radio.cfg");
    s << "expect status text " + s.Status("IDS_BUTTON_IMPORTCFG", true)
      << "expect tx2 text 442.12500"
      << "expect src text 12";

    // Two switches return to the first language; the values read stay in the lists.
    s.Menu("menuLanguage", "itemLanguage");
    s.UseLanguage(false);
    s << "expect btnRead text " + s.Lang("IDS_BUTTON_READ") << "expect itemExit text Exit"
      << "expect protocol text  HI-TARGET"
      << "expect workMode text  " + s.Lang("IDS_VECSTRING_WORKMODE3");
    s.Menu("menuLanguage", "itemLanguage");
    s.UseLanguage(true);
    s << "expect btnRead text " + s.Lang("IDS_BUTTON_READ")
      << "expect workMode text  " + s.Lang("IDS_VECSTRING_WORKMODE3");

    // The About window runs over the main window, which takes clicks again once it has gone.
    s.Menu("menuHelp", "itemAbout");
    s << "expect aboutOk text " + std::string("确定") << "click aboutOk"
      << "click btnDisconnect"
      << "expect status text " + s.Status("IDS_BUTTON_DISCONNECT", true);
    ExpectRan(RunScript(home, s.Text(), OnPorts({port})));

    const std::string saved = ReadBytes(folder + "/radio.cfg");
    EXPECT_NE(saved.find("442.12500"), std::string::npos) << saved;
}

TEST_F(AppScriptTest, UpgradeFromTheFileMenuShowsProgressAndTheResult) {
    const std::string image = home.File("image.out");
    auto radio = StartRadio({"--firmware-out", image, "--log", home.File("radio.log")});
    const std::string port = radio->Path();
    ASSERT_FALSE(port.empty());

    // The first 256 bytes, then two pages from offset 4096: few exchanges, each of which must
    // be answered within the protocol's time limit even on a loaded machine.
    std::string firmware(4096 + 256 * 2, '\0');
    for (std::size_t i = 0; i < firmware.size(); ++i)
        firmware[i] = static_cast<char>(i * 13 + i / 256);
    std::ofstream(home.File("radio.dwn"), std::ios::binary) << firmware;

    Script s;
    s.Choose("port", port);
    s.Menu("menuFile", "itemUpgrade");
    // The worker asks for the file: the dialog comes up once it has seen the request.
    s << "waitfor name focused true"
      << "type " + home.File("radio.dwn") << "key Return"
      << "waitfor status bk #FF3333FF"
      << "waitfor status text " + s.Status("IDS_MENU_FILE_UPGRADE", true)
      << "expect status bk #FF99FF99"
      << "waitfor btnConnect enabled true";
    ExpectRan(RunScript(home, s.Text(), OnPorts({port})));

    // The radio keeps the image once the boot loader has finished; wait for it to be whole.
    const std::string expected = firmware.substr(0, 256) + firmware.substr(4096);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ReadBytes(image).size() < expected.size() && std::chrono::steady_clock::now() < deadline)
        ::poll(nullptr, 0, 10);
    EXPECT_TRUE(ReadBytes(image) == expected) << "the radio holds " << ReadBytes(image).size()
                                              << " bytes, not the " << expected.size() << " sent\n"
                                              << ReadBytes(home.File("radio.log")).substr(0, 4000);
}

// A pseudo-terminal that nobody answers on: a radio that is switched off.
class SilentPort {
public:
    SilentPort() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_path = ::ptsname(m_master);
    }
    ~SilentPort() {
        if (m_master >= 0)
            ::close(m_master);
    }
    const std::string& Path() const { return m_path; }

private:
    int m_master = -1;
    std::string m_path;
};

TEST_F(AppScriptTest, SettingsComeBackOnTheNextRunAndASilentRadioFailsWithItsCause) {
    // Everything runs as an unprivileged user: ports and files are the user's own.
    SilentPort silent;
    ASSERT_FALSE(silent.Path().empty());
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(::chown(silent.Path().c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    auto radio = StartRadio({}, AsNobody());
    const std::string port = radio->Path();
    ASSERT_FALSE(port.empty());
    ASSERT_TRUE(home.GiveToNobody());
    const AppOptions options = OnPorts({silent.Path(), port}, AsNobody());

    Script first;
    first.ConnectTo(port);
    first.Choose("baud", "115200");
    first.Menu("menuLanguage", "itemLanguage");
    first.Menu("menuFile", "itemExit");
    ExpectRan(RunScript(home, first.Text(), options));
    EXPECT_EQ(home.StoredSetting("Baud"), "4");
    EXPECT_EQ(home.StoredSetting("Chinese"), "0");
    const std::string radioEntry = home.StoredSetting("Port");
    ASSERT_FALSE(radioEntry.empty());

    Script second(false);
    second << "expect port text  " + port << "expect baud text  115200"
           << "expect btnRead text " + second.Lang("IDS_BUTTON_READ") << "click btnConnect"
           << "expect status text " + second.Status("IDS_BUTTON_CONNECT", true);
    second.Choose("port", silent.Path());
    second << "click btnConnect"
           << "expect status text " + second.Status("IDS_BUTTON_CONNECT", false)
           << "expect status bk #FFFF9999"
           << "expect status tooltip " + silent.Path() +
                  ": command \"control\": no reply within 465 ms";
    ExpectRan(RunScript(home, second.Text(), options));
    // The silent line is listed just before the radio's.
    EXPECT_EQ(home.StoredSetting("Port"), std::to_string(std::atoi(radioEntry.c_str()) - 1));
}

} // namespace
} // namespace e2e
