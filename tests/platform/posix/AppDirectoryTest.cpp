#include "platform/AppDirectory.h"

#include "PosixTestSupport.h"
#include "platform/InstanceLock.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

using platform_test::ScopedVariable;
using platform_test::TTempDir;
namespace fs = std::filesystem;

const std::string Marker = "../share/applications/quillmark-erp.desktop";

// A bin/ directory, laid out as an install puts it when `installed`.
std::string BinDirectory(const TTempDir& root, bool installed)
{
    fs::create_directories(root / "usr/bin");
    if (installed) {
        fs::create_directories(root / "usr/share/applications");
        std::ofstream(root / "usr/share/applications/quillmark-erp.desktop") << "[Desktop Entry]\n";
    }
    return (root / "usr/bin/").string();
}

TEST(AppDirectory, BesideACopiedClientInTheDataDirectoryWhenInstalled)
{
    TTempDir root;
    const ScopedVariable data("XDG_DATA_HOME", (root / "data").string());

    const auto copied =
        platform::ResolveAppDirectory(BinDirectory(root, false), "QuillmarkERP", Marker);
    EXPECT_EQ(copied.Path, (root / "usr/bin/").string());
    EXPECT_FALSE(copied.Installed);
    EXPECT_FALSE(fs::exists(root / "data"));

    const auto installed =
        platform::ResolveAppDirectory(BinDirectory(root, true), "QuillmarkERP", Marker);
    EXPECT_TRUE(installed.Installed);
    EXPECT_EQ(installed.Problem, "");
    EXPECT_EQ(installed.Path, (root / "data/QuillmarkERP/").string());
    struct stat st {};
    ASSERT_EQ(::stat((root / "data/QuillmarkERP").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // The second start finds it made.
    EXPECT_EQ(platform::ResolveAppDirectory(BinDirectory(root, true), "QuillmarkERP", Marker).Path,
              installed.Path);
}

TEST(AppDirectory, AnUnusableDataDirectoryGivesAPrivateScratchDirectoryAndSaysWhy)
{
    TTempDir root;
    std::ofstream(root / "a-file") << "not a directory";
    const ScopedVariable data("XDG_DATA_HOME", (root / "a-file").string());
    const auto dir =
        platform::ResolveAppDirectory(BinDirectory(root, true), "QuillmarkERP", Marker);
    EXPECT_TRUE(dir.Installed);
    EXPECT_NE(dir.Problem.find((root / "a-file/QuillmarkERP").string()), std::string::npos)
        << dir.Problem;
    ASSERT_FALSE(dir.Path.empty());
    EXPECT_TRUE(fs::is_directory(dir.Path));
    EXPECT_EQ(::access(dir.Path.c_str(), W_OK), 0);
    fs::remove_all(dir.Path);
}

TEST(InstanceLock, OnePerUserRuntimeDirectoryAndDisplay)
{
    TTempDir root;
    fs::create_directories(root / "first");
    fs::create_directories(root / "second");
    const ScopedVariable wayland("WAYLAND_DISPLAY", std::nullopt);
    const ScopedVariable display("DISPLAY", ":0");

    const ScopedVariable runtime("XDG_RUNTIME_DIR", (root / "first").string());
    const platform::InstanceLock first("BrowserQuillmark");
    EXPECT_TRUE(first.Acquired());
    EXPECT_FALSE(platform::InstanceLock("BrowserQuillmark").Acquired());
    {
        // Another user's session: its own runtime directory.
        const ScopedVariable other("XDG_RUNTIME_DIR", (root / "second").string());
        EXPECT_TRUE(platform::InstanceLock("BrowserQuillmark").Acquired());
    }
    {
        // The same user on a second display.
        const ScopedVariable second("DISPLAY", ":1");
        const platform::InstanceLock onSecondDisplay("BrowserQuillmark");
        EXPECT_TRUE(onSecondDisplay.Acquired());
        EXPECT_NE(onSecondDisplay.ChannelPath(), first.ChannelPath());
    }
}

} // namespace
