#include "core/Zoom.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ScratchDirectory.h"
#include "core/IniFile.h"
#include "core/ZoomStore.h"

namespace fs = std::filesystem;

namespace {

TEST(Zoom, StepsWalkTheUsualLadderAndStopAtTheBounds)
{
    struct Row {
        int from;
        bool up;
        int to;
    };
    const Row rows[] = {
        {100, true, 110},
        {110, true, 125},
        {100, false, 90},
        {90, false, 80},
        {400, true, 500},
        {500, true, 500},
        {33, false, 25},
        {25, false, 25},
        // Off the ladder (a stored 130): the next step in that direction.
        {130, true, 150},
        {130, false, 125},
        // Beyond the bounds (never stored, but never worse): back inside.
        {900, false, 500},
        {10, true, 25},
    };
    for (const Row& row : rows)
        EXPECT_EQ(core::NextZoomStep(row.from, row.up), row.to)
            << row.from << (row.up ? " up" : " down");

    int percent = core::DefaultZoomPercent;
    int steps = 0;
    while (percent < core::MaxZoomPercent && steps < 100) {
        percent = core::NextZoomStep(percent, true);
        ++steps;
    }
    EXPECT_EQ(steps, 9); // 110 125 150 175 200 250 300 400 500
}

TEST(Zoom, StoredPercentIsReadOnlyWhenItIsAWholeNumberInRange)
{
    EXPECT_EQ(core::ParseZoomPercent("125"), 125);
    EXPECT_EQ(core::ParseZoomPercent(" 25 "), 25);
    EXPECT_EQ(core::ParseZoomPercent("500"), 500);
    EXPECT_EQ(core::ParseZoomPercent("130"), 130);
    for (const char* garbage : {"", "abc", "24", "501", "-100", "1e2", "12.5", "125%",
                                "99999999999999999999", "0x7d", "１２５"})
        EXPECT_EQ(core::ParseZoomPercent(garbage), std::nullopt) << garbage;
}

TEST(Zoom, HostKeysHoldNothingThatEndsAKeyOrOpensASection)
{
    EXPECT_EQ(core::ZoomKeyOfHost("erp.example.com"), "erp.example.com");
    EXPECT_EQ(core::ZoomKeyOfHost("ERP.Example.COM"), "erp.example.com");
    EXPECT_EQ(core::ZoomKeyOfHost("a=b"), "a%3Db");
    EXPECT_EQ(core::ZoomKeyOfHost("[::1]"), "%5B%3A%3A1%5D");
    EXPECT_EQ(core::ZoomKeyOfHost("100%"), "100%25");
    EXPECT_EQ(core::ZoomKeyOfHost(""), "");
    // Distinct hosts never share a key.
    EXPECT_NE(core::ZoomKeyOfHost("a%3Db"), core::ZoomKeyOfHost("a=b"));
}

// Hostile hosts kept as zoom keys in a config.ini with other sections: each reads back
// as written, and every other line stays as it was. A store reads each host once: later
// edits of the file are not seen, and only a real change is written.
TEST(Zoom, StoreKeepsHostileHostsWithoutTouchingTheRestOfTheFile)
{
    const fs::path directory = test_support::MakeScratchDirectory("qmk-zoom-");
    ASSERT_FALSE(directory.empty());
    const fs::path path = directory / "config.ini";
    const std::string others = "; kept\r\n[SYSTEM]\r\nHANDLE=42\r\n[ZOOM]\r\ngarbage=abc\r\n";
    std::ofstream(path, std::ios::binary) << others;

    core::TZoomStore store(path);
    store.Set("garbage", 100);
    const char* hosts[] = {"erp.example.com", "a=b",   "x]y",  "[WIN]",     "[::1]", ";c", " sp ",
                           "line\nbreak",     "\"q\"", "zoom", "münchen.de"};
    int percent = 30;
    for (const char* host : hosts)
        store.Set(core::ZoomKeyOfHost(host), percent++);

    core::TZoomStore fresh(path);
    percent = 30;
    for (const char* host : hosts)
        EXPECT_EQ(fresh.Percent(core::ZoomKeyOfHost(host)), percent++) << host;
    core::IniFile(path).WriteInteger("ZOOM", "erp.example.com", 200);
    EXPECT_EQ(store.Percent("erp.example.com"), 30);
    EXPECT_EQ(fresh.Percent("erp.example.com"), 30);
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(bytes.substr(0, others.size()), others);
    file.close(); // Windows removes no open file
    fs::remove_all(directory);
}

} // namespace
