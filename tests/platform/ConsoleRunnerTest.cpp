#include "platform/ConsoleRunner.h"

#include "ConsoleTestCommands.h"
#include "PlatformTestSupport.h"

#include <algorithm>
#include <chrono>
#include <random>

#include <gtest/gtest.h>

using platform::RunConsoleCommand;
using platform::RunConsoleCommandLines;
using namespace platform_test;
using namespace std::string_literals;

TEST(ConsoleRunner, ReadsMegabytesWithoutLossFromBothStreams)
{
    // Several MB of printable text: far more than a pipe holds, so the command can only
    // finish if it is read while it runs.
    std::mt19937 random(7);
    std::string content;
    for (int i = 0; i < 3 * 1024 * 1024; ++i)
        content += static_cast<char>(i % 77 == 76 ? '\n' : 'A' + random() % 26);
    TTempDir dir;
    WriteFile(dir / "big.txt", content);
    const std::string file = (dir / "big.txt").string();
    const std::string command = PrinterCommand({"@" + file, "2>@" + file});

    // Compared without gtest's diff, which takes gigabytes on texts of this size.
    const std::string both = RunConsoleCommand(command, 60'000);
    EXPECT_EQ(both.size(), 2 * content.size());
    EXPECT_TRUE(both == content + content);

    core::TLines lines;
    RunConsoleCommandLines(command, lines, 60'000);
    EXPECT_EQ(lines.size(), 2 * core::SplitToLines(content, "\r\n").size() / 2);
    EXPECT_TRUE(lines == core::SplitToLines(content, "\r\n"));
}

TEST(ConsoleRunner, KeepsACharacterThatArrivesInTwoPieces)
{
    // The pause makes the reader see the two halves of 测 in separate reads.
    const std::string bytes = ConsoleBytes("a测b");
    const size_t cut =
        size_t(std::find_if(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; }) -
               bytes.begin()) +
        1;
    ASSERT_EQ(bytes.find('?'), std::string::npos) << "the console's code page cannot print 测";
    EXPECT_EQ(RunConsoleCommand(PrinterCommand(
                  {Escaped(bytes.substr(0, cut)), "~300", Escaped(bytes.substr(cut))})),
              "a测b");
}

TEST(ConsoleRunner, SplitsLinesAtEveryKindOfBreak)
{
    const struct {
        std::string printed;
        core::TLines lines;
    } cases[] = {
        {"one\rtwo", {"one", "two"}},       {"one\ntwo", {"one", "two"}},
        {"one\r\ntwo\r\n", {"one", "two"}}, {"one\r\n\r\ntwo\n", {"one", "", "two"}},
        {"one\0two\nthree"s, {"one"}},
    };
    for (const auto& c : cases) {
        core::TLines lines = {"left from before"};
        RunConsoleCommandLines(PrinterCommand({Escaped(c.printed)}), lines);
        EXPECT_EQ(lines, c.lines) << c.printed;
    }
}

TEST(ConsoleRunner, LinesLeaveStandardErrorOut)
{
    const std::string command = PrinterCommand({"out\\x0A", "2>err\\x0A"});
    core::TLines lines;
    RunConsoleCommandLines(command, lines);
    EXPECT_EQ(lines, core::TLines{"out"});
    EXPECT_EQ(RunConsoleCommand(command), "out\nerr\n");
}

TEST(ConsoleRunner, CommandThatCannotStartGivesNothing)
{
    EXPECT_EQ(RunConsoleCommand("/nonexistent/quillmark-no-such-program"), "");
    core::TLines lines = {"left from before"};
    RunConsoleCommandLines("/nonexistent/quillmark-no-such-program", lines);
    EXPECT_TRUE(lines.empty());
}

TEST(ConsoleRunner, SilentCommandEndsTheRunWhenItEnds)
{
    // Had the runner waited for the limit instead of the command, this would take 60 s.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunConsoleCommand(PrinterCommand({}), 60'000), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(ConsoleRunner, StandardInputIsEmpty)
{
    // The printer gets past "<" only when its input is at end of file.
    EXPECT_EQ(RunConsoleCommand(PrinterCommand({"<", "done\\x0A"}), 5'000), "done\n");
}

TEST(ConsoleRunner, TimeLimitKeepsWhatWasPrinted)
{
    // Long enough for a start under Wine, far below the pause.
    const std::string command = PrinterCommand({"hi\\x0A", "~30000"});
    EXPECT_EQ(RunConsoleCommand(command, 5'000), "hi\n");
    core::TLines lines;
    RunConsoleCommandLines(command, lines, 5'000);
    EXPECT_EQ(lines, core::TLines{"hi"});
}
