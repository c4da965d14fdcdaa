#include "platform/DetachedProcess.h"

#include "../PlatformTestSupport.h"

#include <cstdlib>

#include <windows.h>

#include <gtest/gtest.h>

using namespace platform_test;

// Opened through the shell, in the given directory, with each argument intact.
TEST(DetachedProcessWindows, StartsInTheGivenDirectoryOrSaysWhyNot)
{
    TTempDir dir;
    const std::string directory = (dir / "a b").string();
    std::filesystem::create_directory(directory);
    // A path, as everywhere: a bare name would count from that directory.
    const std::string cmd = std::getenv("ComSpec");
    ASSERT_TRUE(platform::StartDetached(cmd, {"/c", "echo %CD%>out.txt"}, directory));
    for (int i = 0; i < 200 && ReadFile(dir / "a b" / "out.txt").empty(); ++i)
        ::Sleep(25);
    EXPECT_EQ(ReadFile(dir / "a b" / "out.txt"), directory + "\r\n");

    std::string error;
    EXPECT_FALSE(platform::StartDetached("C:\\nonexistent\\quillmark.exe", {}, "", &error));
    EXPECT_FALSE(error.empty());
}
