#include "platform/DetachedProcess.h"

#include "PosixTestSupport.h"

#include <chrono>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace platform_test;

// A descriptor of ours without close-on-exec, at a high number, does not reach the program,
// and a closed standard input reaches it as /dev/null.
TEST(DetachedProcess, StartsInTheGivenDirectoryWithArgumentsIntactAndNothingElse)
{
    TTempDir dir;
    const int input = ::dup(STDIN_FILENO);
    ::dup2(input, 300);
    ::close(STDIN_FILENO);
    const std::string script =
        "{ pwd; printf '%s|' \"$@\"; readlink /proc/self/fd/0; ls /proc/self/fd | tr '\\n' ' '; } "
        "> out.tmp && mv out.tmp out.txt";
    const bool started = platform::StartDetached(
        "/bin/sh", {"-c", script, "sh", "two words", "quote'd", ""}, dir.Path().string());
    ::dup2(input, STDIN_FILENO);
    ::close(input);
    ::close(300);
    ASSERT_TRUE(started);
    // The program runs on its own; wait for its result for a while.
    for (int i = 0; i < 200 && !std::filesystem::exists(dir / "out.txt"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    // ls itself opens 3, for the directory it lists.
    EXPECT_EQ(ReadFile(dir / "out.txt"),
              dir.Path().string() + "\ntwo words|quote'd||/dev/null\n0 1 2 3 ");
}

TEST(DetachedProcess, ProgramThatCannotStartIsReported)
{
    std::string error;
    EXPECT_FALSE(platform::StartDetached("/nonexistent/quillmark-no-such-program", {}, "", &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(platform::StartDetached("/bin/true", {}, "/nonexistent/directory", &error));
    EXPECT_EQ(error, "working directory: No such file or directory");
}
