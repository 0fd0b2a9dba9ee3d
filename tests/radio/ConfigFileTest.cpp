#include "radio/ConfigFile.h"
#include "radio/PlainFields.h"
#include "tests/radio/RecordingHost.h"
#include "tests/radio/Unprivileged.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace radio {
namespace {

using test::CRecordingHost;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelta-cfg-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        ::chmod(folder.c_str(), 0700);
        std::string command = "rm -rf '" + folder + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    // Fills every field the file holds with distinct values.
    void FillAll(CPlainFields& f) {
        for (int slot = 1; slot <= ChannelCount; ++slot) {
            f.channel[slot].setText(std::to_string(430 + slot) + ".12500");
            f.rxChannel[slot].setText(std::to_string(440 + slot) + ".50000");
        }
        f.channel[0].setText("411.00000"); // slot 0 goes to the file though never to the radio
        f.rxChannel[9].setText("x9");
        f.protocolType.select(5); // HI-TARGET: its link list is " 4800", " 19200"
        f.linkBaudRate.select(1);
        f.currentChannel.select(6);
        f.portBaudRate.select(4);
        f.workMode.select(2);
        f.src.setText("17");
        f.dst.setText("200");
        f.highPower.select(1);
        f.lowPower.select(2);
    }

    std::string folder;
    CPlainFields fields;
    RadioSettings& settings = fields.settings;
    CRecordingHost host;
};

TEST_F(ConfigFileTest, ExportWritesEveryLineInOrder) {
    FillAll(fields);
    fields.channel[0].setText("");
    fields.channel[2].setText("431.00000");
    fields.bandwidth.select(1); // not part of the file
    fields.serialNumber.setText("SN1");
    std::string expected =
        "Channel0,\r\nChannel1,431.12500\r\nChannel2,431.00000\r\nChannel3,433.12500\r\n"
        "Channel4,434.12500\r\nChannel5,435.12500\r\nChannel6,436.12500\r\nChannel7,437.12500\r\n"
        "Channel8,438.12500\r\nChannel9,\r\n"
        "RXChannel0,\r\nRXChannel1,441.50000\r\nRXChannel2,442.50000\r\nRXChannel3,443.50000\r\n"
        "RXChannel4,444.50000\r\nRXChannel5,445.50000\r\nRXChannel6,446.50000\r\n"
        "RXChannel7,447.50000\r\nRXChannel8,448.50000\r\nRXChannel9,x9\r\n"
        "ProtocolType,5\r\nCurrentChannel,6\r\nPortBaudRate,4\r\nLinkBaudRate,1\r\n"
        "workMode,2\r\nSRC,17\r\nDST,200\r\nHighPower,1\r\nLowPower,2\r\n";
    std::string path = folder + "/radio.cfg";
    ASSERT_TRUE(ExportConfigFile(settings, path));
    EXPECT_EQ(ReadFile(path), expected);

    CPlainFields empty;
    std::string text = FormatConfig(empty.settings);
    EXPECT_NE(text.find("ProtocolType,-1\r\n"), std::string::npos);
    EXPECT_NE(text.find("PortBaudRate,-1\r\n"), std::string::npos);
    EXPECT_NE(text.find("SRC,\r\nDST,\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, RoundTripRestoresTextsAndSelections) {
    FillAll(fields);
    std::string path = folder + "/copy.cfg";
    ASSERT_TRUE(ExportConfigFile(settings, path));

    CPlainFields back;
    ASSERT_TRUE(ImportConfigFile(back.settings, path));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(back.channel[slot].text(), fields.channel[slot].text()) << slot;
        EXPECT_EQ(back.rxChannel[slot].text(), fields.rxChannel[slot].text()) << slot;
    }
    EXPECT_EQ(back.src.text(), "17");
    EXPECT_EQ(back.dst.text(), "200");
    EXPECT_EQ(back.protocolType.selected(), 5);
    EXPECT_EQ(back.linkBaudRate.selectedText(), " 19200");
    EXPECT_EQ(back.currentChannel.selected(), 6);
    EXPECT_EQ(back.portBaudRate.selected(), 4);
    EXPECT_EQ(back.workMode.selected(), 2);
    EXPECT_EQ(back.highPower.selected(), 1);
    EXPECT_EQ(back.lowPower.selected(), 2);
    EXPECT_EQ(FormatConfig(back.settings), FormatConfig(settings));
}

TEST(ConfigFileName, AppendsTheExtensionWhenMissing) {
    EXPECT_EQ(ExportFileName("radio"), "radio.cfg");
    EXPECT_EQ(ExportFileName("radio.cfg"), "radio.cfg");
    EXPECT_EQ(ExportFileName("radio.CFG"), "radio.CFG.cfg");
    EXPECT_EQ(ExportFileName(".cfg"), ".cfg.cfg");
    EXPECT_EQ(ExportFileName("a.cfg"), "a.cfg");
    EXPECT_EQ(ExportFileName(std::string(249, 'n')), std::string(249, 'n') + ".cfg");
    EXPECT_EQ(ExportFileName(std::string(250, 'n')), std::string(250, 'n'));
}

TEST_F(ConfigFileTest, LineRules) {
    ImportConfigText(settings, "Channel3,430.5,extra\r\n"
                               "XRXChannel2,431\r\n"
                               "no comma here\r\n"
                               "\r\n"
                               "Unknown,5\r\n"
                               "SRC,abc\n"
                               "Channel5,\r\n"
                               "ProtocolType,abc\r\n"
                               "HighPower,  2tail\r\n"
                               "DST,7");
    EXPECT_EQ(fields.channel[3].text(), "430.5");
    EXPECT_EQ(fields.rxChannel[2].text(), "431");
    EXPECT_EQ(fields.channel[2].text(), "");
    EXPECT_EQ(fields.src.text(), "abc");
    EXPECT_EQ(fields.channel[5].text(), "");
    EXPECT_EQ(fields.protocolType.selected(), 0); // no number selects entry 0
    EXPECT_EQ(fields.linkBaudRate.entries(), LinkRateList(0));
    EXPECT_EQ(fields.highPower.selected(), 2);
    EXPECT_EQ(fields.dst.text(), "7"); // last line without a line end

    fields.channel[5].setText("before");
    ImportConfigText(settings, "Channel5,\r\n");
    EXPECT_EQ(fields.channel[5].text(), "");

    ImportConfigText(settings, "LowPower,7\r\n");
    EXPECT_EQ(fields.lowPower.selectedText(), " 5W");
    ImportConfigText(settings, "LowPower,-1\r\n");
    EXPECT_EQ(fields.lowPower.selected(), -1);
    ImportConfigText(settings, "LowPower,99999999999999999999\r\n");
    EXPECT_EQ(fields.lowPower.selected(), 2);
    // Keys are case-sensitive.
    ImportConfigText(settings, "lowpower,0\r\nchannel1,440\r\n");
    EXPECT_EQ(fields.lowPower.selected(), 2);
    EXPECT_EQ(fields.channel[1].text(), "");
}

TEST_F(ConfigFileTest, LineEndsAllReadAlike) {
    std::string body = "Channel1,430.1|RXChannel1,440.1|workMode,1|SRC,3|";
    std::string last;
    for (const char* end : {"\r\n", "\n", "\r\r\n"}) {
        std::string text;
        for (char c : body)
            text += c == '|' ? std::string(end) : std::string(1, c);
        CPlainFields f;
        ImportConfigText(f.settings, text);
        EXPECT_EQ(f.channel[1].text(), "430.1") << end;
        EXPECT_EQ(f.rxChannel[1].text(), "440.1");
        EXPECT_EQ(f.workMode.selected(), 1);
        EXPECT_EQ(f.src.text(), "3");
        std::string exported = FormatConfig(f.settings);
        if (!last.empty()) {
            EXPECT_EQ(exported, last);
        }
        last = exported;
    }
}

TEST_F(ConfigFileTest, OverlongLineIsCutAndItsRestSkipped) {
    // 999 characters, then text that would read as a line of its own if the rest of the
    // line were taken as the next one.
    std::string value(995, 'a');
    ImportConfigText(settings, "SRC," + value + "LowPower,2\r\nDST,9\r\n");
    EXPECT_EQ(fields.src.text(), value);
    EXPECT_EQ(fields.lowPower.selected(), -1);
    EXPECT_EQ(fields.dst.text(), "9");

    // A line of exactly 999 characters is whole, whatever its line end.
    std::string exact(990, 'b');
    ImportConfigText(settings, "Channel4," + exact + "\r\r\nChannel5,5\r\n");
    EXPECT_EQ(fields.channel[4].text(), exact);
    EXPECT_EQ(fields.channel[5].text(), "5");

    std::string path = folder + "/long.cfg";
    WriteFile(path, "Channel6," + std::string(5000, 'c') + ",Channel7,1\nChannel8,8\n");
    ASSERT_TRUE(ImportConfigFile(settings, path));
    EXPECT_EQ(fields.channel[6].text(), std::string(kMaxConfigLine - 9, 'c'));
    EXPECT_EQ(fields.channel[7].text(), "");
    EXPECT_EQ(fields.channel[8].text(), "8");
}

TEST_F(ConfigFileTest, ZeroByteEndsTheLine) {
    const char text[] = "Channel1,43\0"
                        "0,LowPower\r\nDST\0,5\r\nSRC,1\r\n";
    ImportConfigText(settings, std::string(text, sizeof text - 1));
    EXPECT_EQ(fields.channel[1].text(), "43");
    EXPECT_EQ(fields.dst.text(), "");
    EXPECT_EQ(fields.src.text(), "1");
}

TEST_F(ConfigFileTest, ImportOfMissingFileOrFolderFailsAndKeepsFields) {
    fields.channel[1].setText("keep");
    EXPECT_FALSE(ImportConfigFile(settings, folder + "/absent.cfg"));
    EXPECT_FALSE(ImportConfigFile(settings, folder));
    EXPECT_EQ(fields.channel[1].text(), "keep");

    std::string path = folder + "/empty.cfg";
    WriteFile(path, "");
    EXPECT_TRUE(ImportConfigFile(settings, path));
    EXPECT_EQ(fields.channel[1].text(), "keep");
}

TEST_F(ConfigFileTest, ExportReplacesAnOldFileAndKeepsItsPermissions) {
    std::string path = folder + "/radio.cfg";
    WriteFile(path, "old contents that are longer than nothing");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    FillAll(fields);
    ASSERT_TRUE(ExportConfigFile(settings, path));
    EXPECT_EQ(ReadFile(path), FormatConfig(settings));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"radio.cfg"});

    // Through a link, the file it names is replaced and the link stays.
    std::string link = folder + "/link.cfg";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    fields.src.setText("99");
    ASSERT_TRUE(ExportConfigFile(settings, link));
    struct stat linkInfo {};
    ASSERT_EQ(::lstat(link.c_str(), &linkInfo), 0);
    EXPECT_TRUE(S_ISLNK(linkInfo.st_mode));
    EXPECT_NE(ReadFile(path).find("SRC,99\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, FailedExportKeepsTheOldFile) {
    std::string path = folder + "/radio.cfg";
    const std::string old = "Channel1,433.00000\r\n";
    WriteFile(path, old);
    FillAll(fields);

    // The disk fills up after 16 bytes: run the export in a child whose file size limit is
    // that small, so that the write itself fails.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(ExportConfigFile(settings, path) ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"radio.cfg"});

    // A target that cannot be a file, or a folder that does not exist.
    EXPECT_FALSE(ExportConfigFile(settings, folder));
    EXPECT_FALSE(ExportConfigFile(settings, "/dev/null"));
    EXPECT_FALSE(ExportConfigFile(settings, folder + "/no/such/radio.cfg"));
    EXPECT_FALSE(ExportConfigFile(settings, ""));
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"radio.cfg"});
}

TEST_F(ConfigFileTest, ExportRefusesATargetTheUserMayNotWrite) {
    // The user's own file in the user's own folder, made read-only by the user.
    std::string path = folder + "/kept.cfg";
    const std::string old = "Channel1,433.00000\r\n";
    WriteFile(path, old);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    FillAll(fields);
    RunUnprivileged(
        [&] {
            EXPECT_FALSE(ExportConfigTo(path, settings, host));
            EXPECT_EQ(ReadFile(path), old);
            ASSERT_EQ(host.failures.size(), 1u);
            EXPECT_EQ(host.failures[0].detail, path + ": cannot write: Permission denied");
        },
        {folder, path});
    EXPECT_EQ(ReadFile(path), old);
}

TEST_F(ConfigFileTest, ExportCommandAsksReportsAndNamesTheFile) {
    FillAll(fields);
    std::vector<bool> reports;
    auto report = [&](bool ok) { reports.push_back(ok); };

    host.fileAnswers.push_back(std::nullopt); // cancelled: nothing reported
    ExportConfig(settings, host, report);
    EXPECT_TRUE(reports.empty());
    ASSERT_EQ(host.dialogs.size(), 1u);
    const FileDialogOptions& options = host.dialogs[0];
    EXPECT_TRUE(options.save);
    EXPECT_TRUE(options.overwritePrompt);
    EXPECT_EQ(options.title, "Export Config");
    EXPECT_EQ(options.filterName, "Config File(*.cfg)");
    EXPECT_EQ(options.pattern, "*.cfg");
    // The dialog asks about overwriting the name that will be written.
    EXPECT_EQ(options.defaultExtension, ".cfg");

    host.fileAnswers.push_back(folder + "/radio");
    ExportConfig(settings, host, report);
    EXPECT_EQ(reports, std::vector<bool>{true});
    EXPECT_EQ(ReadFile(folder + "/radio.cfg"), FormatConfig(settings));

    host.fileAnswers.push_back(folder + "/missing/radio");
    ExportConfig(settings, host, report);
    EXPECT_EQ(reports, (std::vector<bool>{true, false}));
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_EQ(host.failures[0].kind, radio::FailureKind::File);
    EXPECT_EQ(host.failures[0].detail,
              folder + "/missing/radio.cfg: cannot create: No such file or directory");

    host.chinese = true;
    host.fileAnswers.push_back(std::nullopt);
    ExportConfig(settings, host, report);
    EXPECT_EQ(host.dialogs.back().title, "导出配置");
}

TEST_F(ConfigFileTest, ImportCommandReportsWhetherTheFileCouldBeRead) {
    std::vector<bool> reports;
    auto report = [&](bool ok) { reports.push_back(ok); };
    std::string path = folder + "/junk.cfg";
    WriteFile(path, "nothing usable\r\n");

    host.fileAnswers.push_back(std::nullopt);
    ImportConfig(settings, host, report);
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(host.dialogs[0].save);
    EXPECT_TRUE(host.dialogs[0].fileMustExist);
    EXPECT_EQ(host.dialogs[0].title, "Import Config");

    host.fileAnswers.push_back(path);
    ImportConfig(settings, host, report);
    host.fileAnswers.push_back(folder + "/absent.cfg");
    ImportConfig(settings, host, report);
    EXPECT_EQ(reports, (std::vector<bool>{true, false}));

    host.chinese = true;
    host.fileAnswers.push_back(std::nullopt);
    ImportConfig(settings, host, report);
    EXPECT_EQ(host.dialogs.back().title, "导入配置");
}

} // namespace
} // namespace radio
