#include "radio/RadioSettings.h"
#include "radio/PlainFields.h"
#include "tests/radio/RecordingHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace radio {
namespace {

using test::CRecordingHost;

TEST(PlainSelector, FollowsTheDropDownSelectionRules) {
    CPlainSelector selector;
    std::vector<int> changes;
    selector.setChangeHandler([&](int index) { changes.push_back(index); });
    for (const char* text : {" a", " b", " c"})
        selector.add(text);

    selector.select(1);
    selector.select(1); // already selected: nothing happens
    EXPECT_EQ(selector.selected(), 1);
    EXPECT_EQ(changes, (std::vector<int>{1}));

    selector.select(7); // past the end: the last entry
    EXPECT_EQ(selector.selected(), 2);
    EXPECT_EQ(selector.selectedText(), " c");

    selector.select(-3); // negative: cleared without a notification
    EXPECT_EQ(selector.selected(), -1);
    EXPECT_EQ(selector.displayText(), "");
    EXPECT_EQ(changes, (std::vector<int>{1, 2}));

    selector.clear();
    selector.select(0); // no entries: stays cleared
    EXPECT_EQ(selector.selected(), -1);
    EXPECT_EQ(changes.size(), 2u);
}

TEST(PlainSelector, ShowsUnknownUntilTheSelectionChanges) {
    CPlainSelector selector;
    selector.add(" x");
    selector.add(" y");
    selector.select(0);
    selector.showUnknown();
    EXPECT_EQ(selector.displayText(), " UNKNOW");
    EXPECT_EQ(selector.selected(), 0);
    selector.select(0);
    EXPECT_EQ(selector.displayText(), " UNKNOW");
    selector.select(1);
    EXPECT_EQ(selector.displayText(), " y");
}

TEST(ReadFrequency, FollowsTheLeadingNumberRules) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"430.125", 430.125}, {"  430.5MHz", 430.5}, {"+431", 431.0},
        {"-5", -5.0},         {"4.3e2", 430.0},      {"0x1AE", 430.0},
        {"0x", 0.0},          {"abc", 0.0},          {"", 0.0},
        {"+-430", 0.0},       {".5", 0.5},           {"430.", 430.0},
        {"\t\n450", 450.0},   {"1e999", INFINITY},   {"--430", 0.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadFrequency(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isnan(ReadFrequency("nan")));
    EXPECT_FALSE(FrequencyInRange(ReadFrequency("nan")));
}

class RecordTest : public ::testing::Test {
protected:
    CPlainFields fields;
    RadioSettings& settings = fields.settings;
    CRecordingHost host;
};

TEST_F(RecordTest, ValidateFrequencyReformatsValuesInTheBand) {
    struct Case {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"430.125", "430.12500"}, {"470", "470.00000"},   {"410", "410.00000"},
        {" 433.1 ", "433.10000"}, {"4.5e2", "450.00000"}, {"440.123456", "440.12346"},
    };
    for (const Case& c : cases) {
        fields.channel[3].setText(c.typed);
        EXPECT_TRUE(settings.ValidateFrequencyField(host, 3, true)) << c.typed;
        EXPECT_EQ(fields.channel[3].text(), c.shown) << c.typed;
    }
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(fields.channel[3].focusCount(), 0);
}

TEST_F(RecordTest, ValidateFrequencyAcceptsBlankFieldsUnchanged) {
    for (const char* typed : {"", "   "}) {
        fields.rxChannel[2].setText(typed);
        EXPECT_TRUE(settings.ValidateFrequencyField(host, 2, false));
        EXPECT_EQ(fields.rxChannel[2].text(), typed);
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(RecordTest, ValidateFrequencyRefusesWithMessageAndFocus) {
    for (const char* typed : {"470.00001", "409.99999", "abc", "-430", "0x"}) {
        host.messages.clear();
        fields.rxChannel[5].setText(typed);
        int focus = fields.rxChannel[5].focusCount();
        EXPECT_FALSE(settings.ValidateFrequencyField(host, 5, false)) << typed;
        EXPECT_EQ(fields.rxChannel[5].text(), typed);
        EXPECT_EQ(fields.rxChannel[5].focusCount(), focus + 1);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, " RX Channel5 Invalid!");
        EXPECT_EQ(host.messages[0].caption, " Error");
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
    }
    fields.channel[8].setText("500");
    EXPECT_FALSE(settings.ValidateFrequencyField(host, 8, true));
    EXPECT_EQ(host.messages.back().text, " TX Channel8 Invalid!");
    // The receive field of the same slot was not touched.
    EXPECT_EQ(fields.rxChannel[8].focusCount(), 0);
}

TEST_F(RecordTest, FillDefaultsCoversSlotsZeroToEightOnly) {
    fields.channel[9].setText("kept");
    fields.rxChannel[4].setText("rx kept");
    settings.DefaultFrequencies = {411.5, 412, 413, 414, 415, 416, 417, 418, 419.25, 420};
    settings.FillDefaults(true);
    EXPECT_EQ(fields.channel[0].text(), "411.50000");
    EXPECT_EQ(fields.channel[8].text(), "419.25000");
    EXPECT_EQ(fields.channel[9].text(), "kept");
    EXPECT_EQ(fields.rxChannel[4].text(), "rx kept");
    settings.FillDefaults(false);
    EXPECT_EQ(fields.rxChannel[4].text(), "415.00000");
    EXPECT_EQ(fields.rxChannel[9].text(), "");
}

TEST(DefaultFrequencies, BuiltInValuesPassTheChecks) {
    for (double f : BuiltInDefaultFrequencies())
        EXPECT_TRUE(FrequencyInRange(f)) << f;
    CPlainFields fields;
    CRecordingHost host;
    fields.settings.FillDefaults(true);
    fields.settings.FillDefaults(false);
    for (int slot = 1; slot <= ChannelCount; ++slot) {
        EXPECT_TRUE(fields.settings.ValidateFrequencyField(host, slot, true));
    }
    EXPECT_TRUE(fields.settings.CheckFrequenciesForWrite(host));
}

TEST(DefaultFrequencies, ProfileValuesReplaceOnlyValidBuiltIns) {
    char path[] = "/tmp/zelta-defaults-XXXXXX";
    int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    {
        std::ofstream out(path);
        out << "[Defaults]\n"
               "Frequency0 = 460.5\n"
               "Frequency1=470.1\n" // out of the band
               "Frequency2=4x\n"    // not a number as a whole
               "Frequency3=\n"      // empty
               "frequency4=410\n"   // names are case-blind
               "Frequency9=abc\n";
    }
    FrequencyTable table = LoadDefaultFrequencies(path);
    const FrequencyTable& builtIn = BuiltInDefaultFrequencies();
    EXPECT_EQ(table[0], 460.5);
    EXPECT_EQ(table[1], builtIn[1]);
    EXPECT_EQ(table[2], builtIn[2]);
    EXPECT_EQ(table[3], builtIn[3]);
    EXPECT_EQ(table[4], 410.0);
    EXPECT_EQ(table[5], builtIn[5]);
    EXPECT_EQ(table[9], builtIn[9]);
    ::unlink(path);
    EXPECT_EQ(LoadDefaultFrequencies(path), builtIn);
}

TEST_F(RecordTest, ProtocolListsAndCodes) {
    const std::vector<std::string> low = {" 4800", " 9600"};
    const std::vector<std::string> all = {" 4800", " 9600", " 19200"};
    const std::vector<std::string> high = {" 4800", " 19200"};
    const std::vector<std::string> expected[] = {low, low, all, high, all, high, low, low, low};
    for (int p = 0; p < 9; ++p) {
        fields.protocolType.select(p);
        EXPECT_EQ(fields.linkBaudRate.entries(), expected[p]) << p;
        EXPECT_EQ(fields.linkBaudRate.selected(), -1) << p;
    }
    EXPECT_EQ(ProtocolCode(kProtocolTT450S), 1);
    EXPECT_EQ(ProtocolCode(0), 1);
    EXPECT_EQ(ProtocolCode(7), 8);
    EXPECT_EQ(ProtocolCode(9), -1);
    EXPECT_EQ(LinkRateCode(" 4800"), 1);
    EXPECT_EQ(LinkRateCode(" 9600"), 2);
    EXPECT_EQ(LinkRateCode(" 19200"), 3);
    EXPECT_EQ(LinkRateCode("UNKNOW"), 0);
    EXPECT_EQ(LinkRateCode(" 2400"), 2400);
}

TEST_F(RecordTest, LinkRateRuleAtWideBandwidth) {
    fields.bandwidth.select(1);
    fields.protocolType.select(5); // HI-TARGET
    EXPECT_EQ(fields.linkBaudRate.displayText(), " 19200");
    EXPECT_FALSE(fields.linkBaudRate.isMouseEnabled());
    EXPECT_EQ(fields.linkBaudRate.textColour(), kLinkRateGrey);
    EXPECT_EQ(fields.linkBaudRateLabel.textColour(), kLinkRateGrey);

    fields.protocolType.select(2); // HUACE
    EXPECT_EQ(fields.linkBaudRate.entries(),
              (std::vector<std::string>{" 4800", " 9600", " 19200"}));
    EXPECT_TRUE(fields.linkBaudRate.isMouseEnabled());
    EXPECT_EQ(fields.linkBaudRate.textColour(), 0u);
    EXPECT_EQ(fields.linkBaudRateLabel.textColour(), kLinkRateLabelColour);
    // The user's choice stays when the bandwidth is confirmed again.
    fields.linkBaudRate.select(2);
    settings.ApplyLinkRateRule();
    EXPECT_EQ(fields.linkBaudRate.selected(), 2);

    fields.protocolType.select(0); // TRIMTALK
    EXPECT_EQ(fields.linkBaudRate.displayText(), " 9600");
    EXPECT_FALSE(fields.linkBaudRate.isMouseEnabled());
}

TEST_F(RecordTest, LinkRateRuleAtNarrowBandwidthForcesTheLowestRate) {
    fields.protocolType.select(4); // SOUTH, chosen before the bandwidth
    fields.linkBaudRate.select(2);
    fields.bandwidth.select(0);
    EXPECT_EQ(fields.linkBaudRate.displayText(), " 4800");
    for (int p = 0; p < 9; ++p) {
        fields.protocolType.select(p);
        EXPECT_EQ(fields.linkBaudRate.displayText(), " 4800") << p;
        EXPECT_FALSE(fields.linkBaudRate.isMouseEnabled()) << p;
        EXPECT_EQ(fields.linkBaudRateLabel.textColour(), kLinkRateGrey) << p;
    }
    // Widening the bandwidth frees SOUTH's rate again.
    fields.protocolType.select(4);
    fields.bandwidth.select(1);
    EXPECT_TRUE(fields.linkBaudRate.isMouseEnabled());
    EXPECT_EQ(fields.linkBaudRate.displayText(), " 4800");
}

TEST_F(RecordTest, LinkRateRuleWithoutBandwidthOrProtocol) {
    fields.protocolType.select(5);
    EXPECT_TRUE(fields.linkBaudRate.isMouseEnabled());
    EXPECT_EQ(fields.linkBaudRate.textColour(), 0u);
    EXPECT_EQ(fields.linkBaudRate.selected(), -1);

    CPlainFields other;
    other.bandwidth.select(1); // no protocol: only the grey
    EXPECT_EQ(other.linkBaudRate.textColour(), kLinkRateGrey);
    EXPECT_EQ(other.linkBaudRateLabel.textColour(), kLinkRateGrey);
    EXPECT_TRUE(other.linkBaudRate.isMouseEnabled());
    EXPECT_EQ(other.linkBaudRate.selected(), -1);
}

TEST_F(RecordTest, NormaliseAddresses) {
    struct Case {
        const char* src;
        const char* dst;
        const char* srcAfter;
        const char* dstAfter;
    } cases[] = {
        {"300", "300", "254", "255"},
        {"", "", "0", "255"},
        {"-1", "-7", "0", "0"},
        {"254", "255", "254", "255"},
        {"12", "0", "12", "0"},
        {"255", "256", "254", "255"},
        {"99999999999999999999", "-99999999999999999999", "254", "0"},
    };
    for (const Case& c : cases) {
        fields.src.setText(c.src);
        fields.dst.setText(c.dst);
        settings.NormaliseAddresses();
        EXPECT_EQ(fields.src.text(), c.srcAfter) << c.src;
        EXPECT_EQ(fields.dst.text(), c.dstAfter) << c.dst;
    }
}

TEST_F(RecordTest, WriteCheckNamesTheFirstBadSlot) {
    settings.FillDefaults(true);
    settings.FillDefaults(false);
    fields.channel[0].setText("bad"); // slots 0 and 9 are never sent
    fields.rxChannel[9].setText("");
    EXPECT_TRUE(settings.CheckFrequenciesForWrite(host));
    EXPECT_TRUE(host.messages.empty());

    fields.rxChannel[4].setText("   "); // blank passes when left, not here
    fields.channel[6].setText("470.5");
    EXPECT_FALSE(settings.CheckFrequenciesForWrite(host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Channel4: Invalid!");
    EXPECT_EQ(host.messages[0].caption, "Error");

    host.chinese = true;
    fields.rxChannel[4].setText("430");
    EXPECT_FALSE(settings.CheckFrequenciesForWrite(host));
    EXPECT_EQ(host.messages.back().text, "频道6: 无效！");
    EXPECT_EQ(host.messages.back().caption, "错误");
}

} // namespace
} // namespace radio
