// What keeps config.ini sound on POSIX: the replacement keeps the file's permissions and
// leaves nothing beside it.

#include "platform/AtomicFile.h"

#include "PosixTestSupport.h"

#include <sys/stat.h>

namespace {

using platform_test::Names;
using platform_test::ReadFile;
using platform_test::TTempDir;
using platform_test::WriteFile;
namespace fs = std::filesystem;

unsigned Mode(const fs::path& path)
{
    struct stat st = {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(ConfigFileCareTest, ReplacementKeepsThePermissionsAndLeavesNothingBeside)
{
    const TTempDir dir;
    const std::string config = (dir / "config.ini").string();
    ASSERT_FALSE(platform::ReplaceFileAtomically(config, "[SYSTEM]\nHANDLE=1\n"));
    EXPECT_EQ(Mode(config), 0644u);
    ::chmod(config.c_str(), 0600);
    ASSERT_FALSE(platform::ReplaceFileAtomically(config, "[SYSTEM]\nHANDLE=2\n"));
    EXPECT_EQ(Mode(config), 0600u);
    EXPECT_EQ(ReadFile(config), "[SYSTEM]\nHANDLE=2\n");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"config.ini"});

    // A directory that is gone: the error, and still nothing left anywhere.
    EXPECT_TRUE(platform::ReplaceFileAtomically((dir / "gone/config.ini").string(), "x"));
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"config.ini"});
}

} // namespace
