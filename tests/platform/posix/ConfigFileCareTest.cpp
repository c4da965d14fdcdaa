// What keeps config.ini sound: the replacement that keeps the file's permissions and
// leaves nothing beside it, the removal of what a crashed writer left, and setting a file
// aside without ever replacing one set aside before.

#include "platform/AtomicFile.h"
#include "platform/SetAside.h"

#include "PosixTestSupport.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

using platform_test::ReadFile;
using platform_test::TTempDir;
using platform_test::WriteFile;
namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

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

TEST(ConfigFileCareTest, StaleTemporariesOfThatFileAloneAreRemoved)
{
    const TTempDir dir;
    // Earlier versions named theirs "config.ini.tmp" and digits.
    for (const char* name :
         {"config.ini", "config.ini.tmp-a1B2c3", "config.ini.tmp-123456", "config.ini.tmp-12",
          "config.ini.tmp-1234567", "config.ini.tmp7", "config.ini.tmp004217", "config.ini.tmp",
          "config.ini.tmp12a", "config.ini.bad", "other.ini.tmp-abcdef", "other.ini.tmp42",
          "cache.tmp-abcdef"})
        WriteFile(dir / name, name);
    EXPECT_EQ(platform::RemoveStaleTemporaries((dir / "config.ini").string()), 4);
    EXPECT_EQ(
        Names(dir.Path()),
        (std::vector<std::string>{"cache.tmp-abcdef", "config.ini", "config.ini.bad",
                                  "config.ini.tmp", "config.ini.tmp-12", "config.ini.tmp-1234567",
                                  "config.ini.tmp12a", "other.ini.tmp-abcdef", "other.ini.tmp42"}));
    EXPECT_EQ(ReadFile(dir / "config.ini"), "config.ini");
    EXPECT_EQ(platform::RemoveStaleTemporaries((dir / "missing/config.ini").string()), 0);
}

TEST(ConfigFileCareTest, SetAsideNeverReplacesAnEarlierOne)
{
    const TTempDir dir;
    const std::string config = (dir / "config.ini").string();
    const std::vector<std::string> expected = {config + ".bad", config + ".bad.1",
                                               config + ".bad.2"};
    for (size_t i = 0; i < expected.size(); ++i) {
        WriteFile(config, "content " + std::to_string(i));
        EXPECT_EQ(platform::SetAsideFile(config), expected[i]);
        EXPECT_FALSE(fs::exists(config));
    }
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(ReadFile(expected[i]), "content " + std::to_string(i));
    EXPECT_EQ(platform::SetAsideFile(config), std::nullopt);
}

} // namespace
