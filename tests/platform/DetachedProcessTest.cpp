#include "platform/DetachedProcess.h"

#include "PlatformTestSupport.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

using namespace platform_test;

TEST(DetachedProcess, StartsInTheGivenDirectoryWithArgumentsIntact)
{
    TTempDir dir;
    ASSERT_TRUE(platform::StartDetached(
        "/bin/sh",
        {"-c", "{ pwd; printf '%s|' \"$@\"; } > out.tmp && mv out.tmp out.txt", "sh", "two words",
         "quote'd", ""},
        dir.Path().string()));
    // The program runs on its own; wait for its result for a while.
    for (int i = 0; i < 200 && !std::filesystem::exists(dir / "out.txt"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    EXPECT_EQ(ReadFile(dir / "out.txt"), dir.Path().string() + "\ntwo words|quote'd||");
}

TEST(DetachedProcess, ProgramThatCannotStartIsReported)
{
    EXPECT_FALSE(platform::StartDetached("/nonexistent/quillmark-no-such-program", {}, ""));
}
