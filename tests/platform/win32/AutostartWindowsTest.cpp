// The autostart entry as the Run value of the current user, in the registry of the Wine
// prefix the tests run in.

#include "platform/Autostart.h"

#include <windows.h>

#include <gtest/gtest.h>

using platform::AutostartEntryStarts;
using platform::SetAutostartEntry;

namespace {

// The value's data when it is there as a plain string.
std::wstring RunValue()
{
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                   L"BrowserQuillmark", RRF_RT_REG_SZ, nullptr, data, &size);
    return data;
}

} // namespace

TEST(AutostartWindows, TheRunValueIsWrittenReadRemovedAndItsFailuresReported)
{
    const std::string exe = "C:\\Program Files\\Quillmark 客户端\\quillmark-erp.exe";
    ASSERT_EQ(SetAutostartEntry("BrowserQuillmark", "QuillmarkERP", exe, true), std::nullopt);
    // The path alone, as the Run key starts it.
    EXPECT_EQ(RunValue(), L"C:\\Program Files\\Quillmark 客户端\\quillmark-erp.exe");
    EXPECT_TRUE(AutostartEntryStarts("BrowserQuillmark", exe));
    EXPECT_TRUE(AutostartEntryStarts("BrowserQuillmark", "c:\\PROGRAM files\\quillmark 客户端\\"
                                                         "QUILLMARK-ERP.EXE"));
    EXPECT_FALSE(AutostartEntryStarts("BrowserQuillmark", "C:\\Other\\quillmark-erp.exe"));

    ASSERT_EQ(SetAutostartEntry("BrowserQuillmark", "QuillmarkERP", exe, false), std::nullopt);
    EXPECT_EQ(RunValue(), L"");
    EXPECT_FALSE(AutostartEntryStarts("BrowserQuillmark", exe));
    // Removing what is not there is no failure.
    EXPECT_EQ(SetAutostartEntry("BrowserQuillmark", "QuillmarkERP", exe, false), std::nullopt);

    // A value name longer than the registry allows fails the write, as a denied key would.
    const auto failure = SetAutostartEntry(std::string(20000, 'n'), "QuillmarkERP", exe, true);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->What, platform::AutostartFailure::Step::WriteEntry);
    EXPECT_TRUE(failure->Error);
}
