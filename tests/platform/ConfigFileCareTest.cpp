// What keeps config.ini sound on every system: the removal of what a crashed writer left,
// and setting a file aside without ever replacing one set aside before.

#include "platform/AtomicFile.h"
#include "platform/SetAside.h"

#include "PlatformTestSupport.h"

namespace {

using platform_test::Names;
using platform_test::ReadFile;
using platform_test::TTempDir;
using platform_test::WriteFile;
namespace fs = std::filesystem;

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
