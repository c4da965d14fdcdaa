#include "core/NetParsers.h"

#include <gtest/gtest.h>

#include <random>

using namespace core;

namespace {

TLines Macs(TLines lines)
{
    ExtractMacAddresses(lines);
    return lines;
}

TEST(ExtractMacAddresses, ReadsEnglishAndChineseLabelsInOneListing)
{
    EXPECT_EQ(
        Macs({"Ethernet adapter LAN:", "   Physical Address. . . . . . . . . : 00-1A-2B-3C-4D-5E",
              "   物理地址. . . . . . . . . . . . . : 00-50-56-C0-00-08",
              "   Description . . . . . . . . . . . : Physical Address of nothing"}),
        (TLines{"00:1A:2B:3C:4D:5E", "00:50:56:C0:00:08", "Physical Address of nothing"}));
}

TEST(ExtractMacAddresses, ChineseLabelNeedsItsFullStop)
{
    EXPECT_EQ(Macs({"   物理地址 : 00-1A-2B-3C-4D-5E"}), TLines{});
}

TEST(ExtractMacAddresses, DuplicatesIgnoringCaseKeepFirstSpelling)
{
    EXPECT_EQ(Macs({"Physical Address: aa-bb-cc-dd-ee-ff", "Physical Address: 00-11-22-33-44-55",
                    "Physical Address: AA-BB-CC-DD-EE-FF", "Physical Address: aa-bb-cc-dd-ee-ff"}),
              (TLines{"aa:bb:cc:dd:ee:ff", "00:11:22:33:44:55"}));
}

TEST(ExtractMacAddresses, LabelWithNothingAfterColonAddsNothing)
{
    EXPECT_EQ(Macs({"   Physical Address. . . . . . . . . : ", "   Physical Address. . . :\t"}),
              TLines{});
}

TEST(ExtractMacAddresses, LabelWithoutColonTakesTextAfterFirstSpace)
{
    EXPECT_EQ(Macs({"Physical Address 00-1A-2B-3C-4D-5E"}), TLines{"Address 00:1A:2B:3C:4D:5E"});
    // Dot leaders are closed up before the space is looked for.
    EXPECT_EQ(Macs({"  Physical Address. . . . . 00-1A"}), TLines{"Address.....00:1A"});
    // Without any space the whole trimmed line is the value.
    EXPECT_EQ(Macs({"  物理地址.00-1A  "}), TLines{"物理地址.00:1A"});
}

TEST(ExtractMacAddresses, ValueKeepsEverythingAfterFirstColon)
{
    EXPECT_EQ(Macs({"Physical Address. . : 00-00-00-00-00-00-00-E0 : x"}),
              TLines{"00:00:00:00:00:00:00:E0 : x"});
}

TEST(ExtractMacAddresses, ErrorTextsAndEmptyInputGiveNothing)
{
    EXPECT_EQ(Macs({}), TLines{});
    EXPECT_EQ(Macs({"CreatePipe error"}), TLines{});
    EXPECT_EQ(Macs({"Execute error"}), TLines{});
}

TEST(ExtractMacAddresses, ManyDistinctAddressesStayInOrder)
{
    TLines lines;
    for (int i = 0; i < 200000; ++i)
        lines.push_back("Physical Address: " + std::to_string(i));
    ExtractMacAddresses(lines);
    ASSERT_EQ(lines.size(), 200000u);
    EXPECT_EQ(lines.front(), "0");
    EXPECT_EQ(lines.back(), "199999");
}

struct GatewayCase {
    const char* name;
    TLines lines;
    std::string expected;
};

class FindDefaultGatewayTest : public testing::TestWithParam<GatewayCase> {};

TEST_P(FindDefaultGatewayTest, Finds)
{
    EXPECT_EQ(FindDefaultGateway(GetParam().lines), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindDefaultGatewayTest,
    testing::Values(
        GatewayCase{"English", {"", "   Default Gateway . . . . . : 192.168.1.1 "}, "192.168.1.1"},
        GatewayCase{"Chinese", {"   默认网关. . . . . . . . . : 10.0.0.1"}, "10.0.0.1"},
        GatewayCase{"ChineseAnywhereWins",
                    {"   Default Gateway . . : 192.168.1.1", "   默认网关. . . : 10.0.0.1"},
                    "10.0.0.1"},
        GatewayCase{"ChineseBlankStillWins",
                    {"   Default Gateway . . : 192.168.1.1", "   默认网关. . . : "},
                    ""},
        GatewayCase{"ChineseWithoutColonIgnored",
                    {"默认网关 10.0.0.1", "   Default Gateway . . : 192.168.1.1"},
                    "192.168.1.1"},
        GatewayCase{"BlankGatewayStopsSearch",
                    {"   Default Gateway . . . . . :", "   Default Gateway . . . . . : 10.0.0.1"},
                    ""},
        GatewayCase{"Ipv6TakenWhole",
                    {"   Default Gateway . . . . . : fe80::1%11", "                               "
                                                                  "192.168.1.1"},
                    "fe80::1%11"},
        GatewayCase{"LabelIsCaseSensitive", {"   default gateway . . : 1.2.3.4"}, ""},
        GatewayCase{"NoLabel", {"Windows IP Configuration", "", "Execute error"}, ""},
        GatewayCase{"Empty", {}, ""}),
    [](const testing::TestParamInfo<GatewayCase>& info) { return std::string(info.param.name); });

TEST(FindLabeledValue, ReportsFoundSeparatelyFromValue)
{
    std::string value = "stale";
    EXPECT_TRUE(FindLabeledValue({"x", "Label:"}, "Label", value));
    EXPECT_EQ(value, "");
    value = "stale";
    EXPECT_FALSE(FindLabeledValue({"Label without colon"}, "Label", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(FindLabeledValue({"a: Label : b : c"}, "Label", value));
    EXPECT_EQ(value, "Label : b : c");
}

// A typical "arp -a" table: blank line, interface line, header, then entries.
TLines ArpTable(std::initializer_list<std::string> entries)
{
    TLines lines{"", "Interface: 192.168.1.20 --- 0xb",
                 "  Internet Address      Physical Address      Type"};
    lines.insert(lines.end(), entries);
    return lines;
}

TEST(FindGatewayMac, GatewayEntryWins)
{
    const TLines lines = ArpTable({"  192.168.1.1           00-11-22-33-44-55     dynamic",
                                   "  192.168.1.9           aa-bb-cc-dd-ee-ff     dynamic"});
    EXPECT_EQ(FindGatewayMac("192.168.1.1", lines), "00-11-22-33-44-55");
    EXPECT_EQ(FindGatewayMac("192.168.1.9", lines), "aa-bb-cc-dd-ee-ff");
}

TEST(FindGatewayMac, UnknownGatewayGivesLastNonBroadcastEntry)
{
    const TLines lines = ArpTable({"  192.168.1.1           00-11-22-33-44-55     dynamic",
                                   "  192.168.1.9           aa-bb-cc-dd-ee-ff     dynamic",
                                   "  192.168.1.255         FF-FF-FF-FF-FF-FF     static",
                                   "  192.168.1.254         ff-ff-ff-ff-ff-ff     static"});
    EXPECT_EQ(FindGatewayMac("10.0.0.1", lines), "aa-bb-cc-dd-ee-ff");
    EXPECT_EQ(FindGatewayMac("", lines), "aa-bb-cc-dd-ee-ff");
    EXPECT_EQ(FindGatewayMac("fe80::1%11", lines), "aa-bb-cc-dd-ee-ff");
}

TEST(FindGatewayMac, GatewayComparisonIsExact)
{
    const TLines lines = ArpTable({"  192.168.1.1           00-11-22-33-44-55     dynamic",
                                   "  192.168.1.10          aa-bb-cc-dd-ee-ff     dynamic"});
    EXPECT_EQ(FindGatewayMac("192.168.1.1 ", lines), "aa-bb-cc-dd-ee-ff");
}

TEST(FindGatewayMac, ShortListingsGiveNothing)
{
    EXPECT_EQ(FindGatewayMac("1.1.1.1", {}), "");
    EXPECT_EQ(FindGatewayMac("1.1.1.1", {"1.1.1.1 00-11 dynamic", "1.1.1.1 00-11 dynamic",
                                         "1.1.1.1 00-11 dynamic"}),
              "");
}

TEST(FindGatewayMac, LinesWithFewerThanThreeWordsArePassedOver)
{
    const TLines lines = ArpTable({"  192.168.1.1           00-11-22-33-44-55     dynamic",
                                   "  192.168.1.2   aa-bb-cc-dd-ee-ff", "  192.168.1.3", ""});
    EXPECT_EQ(FindGatewayMac("192.168.1.2", lines), "00-11-22-33-44-55");
}

TEST(FindGatewayMac, InterfaceAndHeaderLinesOfLaterInterfacesCount)
{
    // The second interface's header has three words; its second word becomes the fallback.
    TLines lines = ArpTable({"  192.168.1.1           00-11-22-33-44-55     dynamic"});
    lines.insert(lines.end(), {"", "Interface: 10.0.0.5 --- 0xc",
                               "  Internet Address      Physical Address      Type"});
    EXPECT_EQ(FindGatewayMac("none", lines), "Address");
    EXPECT_EQ(FindGatewayMac("192.168.1.1", lines), "00-11-22-33-44-55");
}

TEST(Parsers, BinaryNoiseGivesNoAddresses)
{
    // Random bytes without NUL, so the whole megabyte is split and searched.
    std::mt19937 random(42);
    std::string noise(1 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() % 255 + 1);
    const TLines lines = SplitToLines(noise, "\r\n");
    ASSERT_GT(lines.size(), 1000u);

    EXPECT_EQ(FindDefaultGateway(lines), "");
    TLines macs = lines;
    ExtractMacAddresses(macs);
    EXPECT_EQ(macs, TLines{});
    // Noise lines with three words do give a fallback word: one word, trimmed.
    const std::string word = FindGatewayMac("1.1.1.1", lines);
    EXPECT_EQ(word.find(' '), std::string::npos);
    EXPECT_FALSE(!word.empty() && static_cast<unsigned char>(word.front()) <= 32);
}

TEST(Parsers, TenMegabytesWithoutLabelsGiveEmptyResults)
{
    // Ten megabytes of lines that hold no label and only one word each.
    const TLines lines(10 * 1024 * 1024 / 64, std::string(62, 'x'));

    EXPECT_EQ(FindDefaultGateway(lines), "");
    EXPECT_EQ(FindGatewayMac("1.1.1.1", lines), "");
    TLines macs = lines;
    ExtractMacAddresses(macs);
    EXPECT_EQ(macs, TLines{});
}

} // namespace
