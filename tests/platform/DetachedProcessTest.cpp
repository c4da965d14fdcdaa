#include "platform/DetachedProcess.h"

#include "PlatformTestSupport.h"
#include "support/Processes.h"

#include <chrono>
#include <csignal>
#include <thread>

#include <gtest/gtest.h>

using namespace platform_test;
using namespace testing_support;

// Descriptors of ours without close-on-exec (one at a high number) stay ours, a closed
// standard input becomes /dev/null, and the program runs in a session of its own.
TEST(DetachedProcess, StartsInTheGivenDirectoryWithArgumentsIntactAndNothingElse)
{
    TTempDir dir;
    const int savedInput = ::dup(STDIN_FILENO);
    ::dup2(savedInput, 300);
    ::close(STDIN_FILENO);
    const bool started = platform::StartDetached(
        "/bin/sh",
        {"-c",
         "{ echo $$; pwd; printf '%s|' \"$@\"; } > out.tmp && mv out.tmp out.txt && exec sleep 30",
         "sh", "two words", "quote'd", ""},
        dir.Path().string());
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);
    ::close(300);
    ASSERT_TRUE(started);
    // The program runs on its own; wait for it for a while.
    for (int i = 0; i < 200 && !std::filesystem::exists(dir / "out.txt"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    const std::string out = ReadFile(dir / "out.txt");
    EXPECT_EQ(out.substr(out.find('\n') + 1), dir.Path().string() + "\ntwo words|quote'd||");
    const int pid = std::atoi(out.c_str());
    for (int i = 0; i < 200 && !ExecutableOf(pid).ends_with("/sleep"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    const std::string fd = "/proc/" + std::to_string(pid) + "/fd/";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fd), {}), 3);
    EXPECT_EQ(std::filesystem::read_symlink(fd + "0"), "/dev/null");
    EXPECT_NE(::getsid(pid), ::getsid(0));
    ::kill(pid, SIGKILL);
}

TEST(DetachedProcess, ProgramThatCannotStartIsReported)
{
    std::string error;
    EXPECT_FALSE(platform::StartDetached("/nonexistent/quillmark-no-such-program", {}, "", &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(platform::StartDetached("/bin/true", {}, "/nonexistent/directory", &error));
    EXPECT_EQ(error, "working directory: No such file or directory");
}
