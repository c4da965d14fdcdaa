// config.ini against the permissions and owners of POSIX files.

#include "../IniFileFixture.h"
#include "core/IniFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

using core::IniFile;
namespace fs = std::filesystem;

TEST_F(IniFileFixture, WriteKeepsThePermissionBits)
{
    Put("[A]\nk=1\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(IniFile(path_).WriteString("A", "k", "2"));
    EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(IniFileFixture, ReadOnlyFileIsNotWritten)
{
    const std::string before = "; keep\n[WIN]\nLEFT=10\n";
    Put(before);
    fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    IniFile ini(path_);
    EXPECT_FALSE(ini.WriteString("WIN", "LEFT", "20"));
    EXPECT_FALSE(ini.WriteString("SYSTEM", "HANDLE", "1"));
    EXPECT_EQ(Get(), before);
    EXPECT_EQ(ini.ReadInteger("WIN", "LEFT", 0), 10);
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"config.ini"});
}

TEST_F(IniFileFixture, FileOfAnotherUserIsNotReplaced)
{
    // Only root can hand the file to another user; the write then runs as that user.
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to set up a file owned by someone else";
    const std::string before = "[WIN]\nLEFT=10\n";
    Put(before);
    fs::permissions(dir_, fs::perms::all); // the directory is writable for everyone
    EXPECT_EXIT(
        {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            const bool written = IniFile(path_).WriteString("WIN", "LEFT", "20");
            ::_exit(written ? 1 : 0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Get(), before);
}
