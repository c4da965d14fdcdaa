#include "platform/ConsoleRunner.h"

#include "PlatformTestSupport.h"

#include <chrono>
#include <csignal>
#include <random>
#include <thread>

#include <gtest/gtest.h>

using platform::RunConsoleCommand;
using platform::RunConsoleCommandLines;
using namespace platform_test;

namespace {

// A process that is gone or only waits to be reaped.
bool IsGone(const std::string& pid)
{
    const std::string stat = ReadFile("/proc/" + pid + "/stat");
    const size_t name = stat.rfind(')');
    return stat.empty() || (name + 2 < stat.size() && stat[name + 2] == 'Z');
}

} // namespace

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
    const std::string file = ShellQuote((dir / "big.txt").string());

    EXPECT_EQ(RunConsoleCommand("cat " + file + "; cat " + file + " >&2"), content + content);

    core::TLines lines;
    RunConsoleCommandLines("cat " + file + "; cat " + file + " >&2", lines);
    EXPECT_EQ(lines, core::SplitToLines(content, "\r\n"));
}

TEST(ConsoleRunner, KeepsACharacterThatArrivesInTwoPieces)
{
    // 测 is E6 B5 8B; the pauses make the reader see the pieces in separate reads.
    EXPECT_EQ(RunConsoleCommand("printf 'a\\346\\265'; sleep 0.2; printf '\\213b'"), "a测b");
}

TEST(ConsoleRunner, SplitsLinesAtEveryKindOfBreak)
{
    const struct {
        const char* printed;
        core::TLines lines;
    } cases[] = {
        {"one\\rtwo", {"one", "two"}},          {"one\\ntwo", {"one", "two"}},
        {"one\\r\\ntwo\\r\\n", {"one", "two"}}, {"one\\r\\n\\r\\ntwo\\n", {"one", "", "two"}},
        {"one\\000two\\nthree", {"one"}},
    };
    for (const auto& c : cases) {
        core::TLines lines = {"left from before"};
        RunConsoleCommandLines(std::string("printf '") + c.printed + "'", lines);
        EXPECT_EQ(lines, c.lines) << c.printed;
    }
}

TEST(ConsoleRunner, LinesLeaveStandardErrorOut)
{
    core::TLines lines;
    RunConsoleCommandLines("echo out; echo err >&2", lines);
    EXPECT_EQ(lines, core::TLines{"out"});
    EXPECT_EQ(RunConsoleCommand("echo out; echo err >&2"), "out\nerr\n");
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
    EXPECT_EQ(RunConsoleCommand("true", 60'000), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(ConsoleRunner, StandardInputIsEmpty)
{
    // cat ends at once only when its input is at end of file.
    EXPECT_EQ(RunConsoleCommand("cat; echo done", 5'000), "done\n");
}

TEST(ConsoleRunner, TimeLimitKeepsWhatWasPrinted)
{
    EXPECT_EQ(RunConsoleCommand("echo hi; sleep 30", 300), "hi\n");
    core::TLines lines;
    RunConsoleCommandLines("echo hi; sleep 30", lines, 300);
    EXPECT_EQ(lines, core::TLines{"hi"});
}

TEST(ConsoleRunner, TimeLimitKillsWhatTheCommandLeftRunning)
{
    // The shell ends at once, but its background child holds the output open.
    const std::string pid = RunConsoleCommand("sleep 30 & echo $!", 300);
    ASSERT_FALSE(pid.empty());
    const std::string bare = pid.substr(0, pid.find('\n'));
    for (int i = 0; i < 100 && !IsGone(bare); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(IsGone(bare)) << "sleep " << bare << " still runs";
}
