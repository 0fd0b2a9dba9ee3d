// The checks made before a write, the plan of its commands, and numbers that stay the same
// whatever the C library's locale says.

#include "tests/radio/SimRig.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

using radio::test::CSimRig;

void FillValid(radio::CPlainFields& f) {
    for (int slot = 1; slot <= radio::ChannelCount; ++slot) {
        f.channel[size_t(slot)].setText("430.12500");
        f.rxChannel[size_t(slot)].setText("440.00000");
    }
    f.lowPower.select(0);
}

TEST(CheckWriteValues, NamesEveryValueTheWriteWouldRefuse) {
    struct Case {
        const char* what;
        void (*change)(radio::CPlainFields&);
        std::vector<std::string> problems;
    } cases[] = {
        {"valid", [](radio::CPlainFields&) {}, {}},
        {"out of the band",
         [](radio::CPlainFields& f) {
             f.channel[3].setText("500");
             f.rxChannel[1].setText(" 409.99");
         },
         {"RXChannel1: 409.99 is outside 410–470 MHz", "Channel3: 500 is outside 410–470 MHz"}},
        {"not a number",
         [](radio::CPlainFields& f) { f.channel[2].setText("abc"); },
         {"Channel2: \"abc\" is not a frequency within 410–470 MHz"}},
        {"empty slot",
         [](radio::CPlainFields& f) { f.rxChannel[8].setText(""); },
         {"RXChannel8: empty; a frequency within 410–470 MHz is needed"}},
        {"line end inside a value",
         [](radio::CPlainFields& f) {
             f.channel[1].setText("430.1\r");
             f.dst.setText("2\ncfg_sern X");
         },
         {"Channel1: holds the control byte \\r", "DST: holds the control byte \\n"}},
        {"no low power",
         [](radio::CPlainFields& f) { f.lowPower.select(-1); },
         {"LowPower: nothing selected"}},
        {"unlocked identity empty",
         [](radio::CPlainFields& f) {
             f.settings.SerialNumberUnlocked = true;
             f.settings.HardwareUnlocked = true;
             f.hardwareVersion.setText("H\x7f");
         },
         {"SerialNumber: empty", "HardwareVersion: holds the control byte \\x7F"}},
        // What the write accepts and normalises stays accepted.
        {"normalised on the way",
         [](radio::CPlainFields& f) {
             f.src.setText("300");
             f.dst.setText("abc");
             f.channel[4].setText("431.5 MHz");
             f.channel[5].setText("4.3e2");
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        radio::CPlainFields fields;
        FillValid(fields);
        c.change(fields);
        EXPECT_EQ(radio::CheckWriteValues(fields.settings), c.problems);
    }
}

TEST(PlanWrite, IsWhatTheWriteSends) {
    CSimRig rig;
    ASSERT_FALSE(rig.sim.Path().empty());
    radio::CPlainFields& fields = rig.fields;
    FillValid(fields);
    fields.protocolType.select(2);
    fields.bandwidth.select(1);
    fields.linkBaudRate.select(2);
    fields.portBaudRate.select(2);
    fields.src.setText("-4");
    fields.dst.setText("");
    ASSERT_TRUE(rig.protocol.ConnectRadio());

    std::vector<std::string> plan = radio::PlanWrite(fields.settings);
    ASSERT_TRUE(rig.protocol.WriteAll());
    std::vector<std::string> sent = rig.sim.Commands();
    ASSERT_EQ(sent.size(), plan.size() + 1);
    for (size_t i = 0; i < plan.size(); ++i)
        EXPECT_EQ(sent[i + 1], plan[i] + "\\r");
    EXPECT_EQ(plan[plan.size() - 4], "cfg_srcx 0");
    EXPECT_EQ(plan[plan.size() - 3], "cfg_dstx 255");
}

// A locale whose decimal separator is a comma, from the locales installed (LOCPATH counts).
const char* DecimalCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8",
                             "nl_NL.UTF-8", "es_ES.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            bool comma = std::localeconv()->decimal_point[0] == ',';
            std::setlocale(LC_NUMERIC, "C");
            if (comma)
                return name;
        }
    }
    return nullptr;
}

// Builds a German locale into a private folder and points LOCPATH at it, for machines that
// have the locale sources but no such locale generated.
// The folder goes when the test program ends.
const char* BuildDecimalCommaLocale() {
    static std::string folder;
    char pattern[] = "/tmp/zelta-locale-XXXXXX";
    if (!::mkdtemp(pattern))
        return nullptr;
    folder = pattern;
    std::atexit([] { std::system(("rm -rf '" + folder + "'").c_str()); });
    std::string command = "localedef -i de_DE -f UTF-8 " + folder + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return nullptr;
    ::setenv("LOCPATH", folder.c_str(), 1);
    return DecimalCommaLocale();
}

TEST(Numbers, StayWithADecimalPointUnderADecimalCommaLocale) {
    const char* locale = DecimalCommaLocale();
    if (!locale)
        locale = BuildDecimalCommaLocale();
    if (!locale)
        GTEST_SKIP() << "no locale with a decimal comma, and localedef could not build de_DE";
    CSimRig rig;
    ASSERT_FALSE(rig.sim.Path().empty());
    radio::CPlainFields& fields = rig.fields;
    FillValid(fields);

    // A window sets the locale of its user.
    ASSERT_TRUE(std::setlocale(LC_NUMERIC, locale));
    fields.channel[1].setText("430.125");
    EXPECT_TRUE(fields.settings.ValidateFrequencyField(rig.host, 1, true));
    fields.settings.FillDefaults(false);
    EXPECT_DOUBLE_EQ(radio::ReadFrequency("431.5"), 431.5);
    bool written = rig.protocol.ConnectRadio() && rig.protocol.WriteAll();
    std::setlocale(LC_NUMERIC, "C");

    EXPECT_EQ(fields.channel[1].text(), "430.12500");
    EXPECT_EQ(fields.rxChannel[2].text(), "432.05000");
    EXPECT_TRUE(written);
    std::vector<std::string> sent = rig.sim.Commands();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[1], "cfg_ch_1 430.12500\\r");
}

} // namespace
