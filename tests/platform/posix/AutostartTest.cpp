#include "platform/Autostart.h"

#include "PosixTestSupport.h"
#include "core/DesktopEntry.h"
#include "platform/XdgDirectories.h"

#include <cstdlib>
#include <optional>

namespace {

using platform_test::ReadFile;
using platform_test::ScopedVariable;
using platform_test::ShellQuote;
using platform_test::TTempDir;
using Step = platform::AutostartFailure::Step;
namespace fs = std::filesystem;

const std::string Name = "BrowserQuillmark";
const std::string Executable = "/opt/ERP client/it's \"q\" $1 \\/quillmark-erp";

std::vector<std::string> Names(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    return names;
}

unsigned Mode(const fs::path& path)
{
    return unsigned(fs::status(path).permissions());
}

TEST(XdgConfigHome, AnAbsoluteVariableWinsAnythingElseMeansTheHomeDirectory)
{
    const ScopedVariable home("HOME", "/home/li");
    for (const auto& [value, expected] :
         std::vector<std::pair<std::optional<std::string>, std::string>>{
             {"/srv/cfg", "/srv/cfg"},
             {std::nullopt, "/home/li/.config"},
             {"", "/home/li/.config"},
             {"relative/cfg", "/home/li/.config"}}) {
        const ScopedVariable config("XDG_CONFIG_HOME", value);
        EXPECT_EQ(platform::XdgConfigHome(), expected) << value.value_or("(unset)");
        EXPECT_EQ(platform::AutostartEntryPath(Name),
                  expected + "/autostart/BrowserQuillmark.desktop");
    }
}

class AutostartEntry : public testing::Test {
protected:
    TTempDir home_;
    fs::path config_ = home_ / "config";
    fs::path autostart_ = config_ / "autostart";
    fs::path entry_ = autostart_ / "BrowserQuillmark.desktop";
    ScopedVariable variable_{"XDG_CONFIG_HOME", config_.string()};
};

TEST_F(AutostartEntry, IsWrittenValidAndRemoved)
{
    ASSERT_EQ(platform::SetAutostartEntry(Name, "QuillmarkERP", Executable, true), std::nullopt);
    EXPECT_EQ(ReadFile(entry_), core::AutostartDesktopEntry("QuillmarkERP", Executable));
    EXPECT_TRUE(platform::AutostartEntryStarts(Name, Executable));
    EXPECT_EQ(Mode(config_), 0700u);
    EXPECT_EQ(Mode(autostart_), 0700u);
    EXPECT_EQ(Mode(entry_), 0644u);
    EXPECT_EQ(std::system(("desktop-file-validate " + ShellQuote(entry_.string())).c_str()), 0);

    // Confirming again replaces it and leaves nothing else behind.
    ASSERT_EQ(platform::SetAutostartEntry(Name, "QuillmarkERP", "/usr/bin/q", true), std::nullopt);
    EXPECT_EQ(ReadFile(entry_), core::AutostartDesktopEntry("QuillmarkERP", "/usr/bin/q"));
    EXPECT_EQ(Names(autostart_), std::vector<std::string>{"BrowserQuillmark.desktop"});
    EXPECT_FALSE(platform::AutostartEntryStarts(Name, Executable));

    ASSERT_EQ(platform::SetAutostartEntry(Name, "QuillmarkERP", Executable, false), std::nullopt);
    EXPECT_FALSE(fs::exists(entry_));
    EXPECT_FALSE(platform::AutostartEntryStarts(Name, Executable));
    EXPECT_EQ(platform::SetAutostartEntry(Name, "QuillmarkERP", Executable, false), std::nullopt);
}

TEST_F(AutostartEntry, AFileWhereTheDirectoryShouldBeFailsWithoutTouchingIt)
{
    fs::create_directories(config_);
    platform_test::WriteFile(autostart_, "mine");
    const auto failure = platform::SetAutostartEntry(Name, "QuillmarkERP", Executable, true);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->What, Step::CreateDirectory);
    EXPECT_EQ(failure->Path, autostart_.string());
    EXPECT_EQ(failure->Error, std::errc::not_a_directory);
    EXPECT_EQ(ReadFile(autostart_), "mine");
    // There can be no entry there, so there is none to remove.
    EXPECT_EQ(platform::SetAutostartEntry(Name, "QuillmarkERP", Executable, false), std::nullopt);
}

} // namespace
