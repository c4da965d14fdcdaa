// The autostart entry as the Run value of the current user, in the registry of the Wine
// prefix the tests run in.

#include "platform/Autostart.h"

#include <optional>

#include <windows.h>

#include <gtest/gtest.h>

namespace {

constexpr wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string Name = "BrowserQuillmark";

// The value's type and data; nullopt when there is none.
std::optional<std::pair<DWORD, std::wstring>> RunValue()
{
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t), type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, RunKey, L"BrowserQuillmark", RRF_RT_ANY | RRF_NOEXPAND,
                       &type, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::make_pair(type, std::wstring(data));
}

} // namespace

TEST(AutostartWindows, TheRunValueIsWrittenReadAndRemoved)
{
    const std::string executable = "C:\\Program Files\\Quillmark 客户端\\quillmark-erp.exe";
    EXPECT_EQ(platform::AutostartEntryPath(Name),
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\"
              "BrowserQuillmark");
    ASSERT_EQ(platform::SetAutostartEntry(Name, "QuillmarkERP", executable, true), std::nullopt);
    // The path alone, as the Run key starts it.
    EXPECT_EQ(RunValue(), std::make_pair(DWORD(REG_SZ),
                                         std::wstring(L"C:\\Program Files\\Quillmark 客户端\\"
                                                      L"quillmark-erp.exe")));
    EXPECT_TRUE(platform::AutostartEntryStarts(Name, executable));
    EXPECT_TRUE(platform::AutostartEntryStarts(Name, "c:\\program files\\QUILLMARK 客户端\\"
                                                     "quillmark-erp.exe"));
    EXPECT_FALSE(platform::AutostartEntryStarts(Name, "C:\\Other\\quillmark-erp.exe"));

    ASSERT_EQ(platform::SetAutostartEntry(Name, "QuillmarkERP", executable, false), std::nullopt);
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_FALSE(platform::AutostartEntryStarts(Name, executable));
    // Removing what is not there is no failure.
    EXPECT_EQ(platform::SetAutostartEntry(Name, "QuillmarkERP", executable, false), std::nullopt);
}

TEST(AutostartWindows, AKeyThatCannotBeWrittenIsReported)
{
    // A value name longer than the registry allows fails the write, as a denied key would.
    const std::string tooLong(20000, 'n');
    const auto failure = platform::SetAutostartEntry(tooLong, "QuillmarkERP", "C:\\q.exe", true);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->What, platform::AutostartFailure::Step::WriteEntry);
    EXPECT_NE(failure->Error.value(), 0);
    EXPECT_FALSE(platform::AutostartEntryStarts(tooLong, "C:\\q.exe"));
}
