// The instance mutex and the hand-over to the running client, with a window standing in
// for its main window.

#include "platform/InstanceLock.h"

#include "../PlatformTestSupport.h"
#include "core/HandOver.h"
#include "core/IniFile.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

bool MutexExists(const wchar_t* name)
{
    const HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, name);
    return mutex && ::CloseHandle(mutex);
}

// What the stand-in window got: the number of 2027s, and the last line sent to it.
int shown = 0;
std::string received;

// Answers a hand-over line that names it with 1 (done), as the main window does.
LRESULT CALLBACK StandIn(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == 2027)
        ++shown;
    if (message != WM_COPYDATA)
        return ::DefWindowProcW(window, message, w, l);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
    received.assign(static_cast<const char*>(data->lpData), data->cbData);
    const auto handOver = core::ParseHandOver(received);
    return handOver && handOver->Handle == reinterpret_cast<std::int64_t>(window);
}

} // namespace

TEST(InstanceLockWindows, TheNamedMutexIsTheSessionsMarkerWhileItsHolderLives)
{
    ASSERT_FALSE(MutexExists(L"Local\\BrowserQuillmark")) << "a client runs in this session";
    {
        const platform::InstanceLock first("BrowserQuillmark");
        EXPECT_TRUE(first.Acquired());
        // No prefix: the logon session's namespace, not the machine's.
        EXPECT_TRUE(MutexExists(L"Local\\BrowserQuillmark"));
        EXPECT_FALSE(MutexExists(L"Global\\BrowserQuillmark"));
        EXPECT_FALSE(platform::InstanceLock("BrowserQuillmark").Acquired());
    }
    EXPECT_FALSE(MutexExists(L"Local\\BrowserQuillmark"));
    EXPECT_TRUE(platform::InstanceLock("BrowserQuillmark").Acquired());
}

TEST(InstanceLockWindows, ASecondStartShowsTheWindowNamedInConfigIni)
{
    const WNDCLASSW windowClass{0,       &StandIn, 0,       0,       ::GetModuleHandleW(nullptr),
                                nullptr, nullptr,  nullptr, nullptr, L"QuillmarkMainStandIn"};
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 10, 10, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    platform_test::TTempDir dir;
    core::IniFile(dir / "config.ini").WriteInteger("SYSTEM", "HANDLE", std::int64_t(window));

    // What a second start does: the handle from config.ini, message 2027 posted to it.
    const std::int64_t handle =
        core::IniFile(dir / "config.ini").ReadInteger("SYSTEM", "HANDLE", 0);
    const std::string show = core::FormatHandOver({handle, {}});
    EXPECT_EQ(platform::SendToRunningInstance("", show, 2000), core::HandOverDone);
    MSG message;
    for (int i = 0; i < 200 && shown == 0; ++i, ::Sleep(10))
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&message);
    EXPECT_EQ(shown, 1);

    // A command with text travels whole and is answered.
    const std::string settings =
        core::FormatHandOver({handle, {core::ClientCommand::Kind::OpenSettings, ""}});
    EXPECT_EQ(platform::SendToRunningInstance("", settings, 2000), core::HandOverDone);
    EXPECT_EQ(received, settings);

    // A window that is gone, or none at all, is not there to hand over to.
    ::DestroyWindow(window);
    EXPECT_EQ(platform::SendToRunningInstance("", show, 500), std::nullopt);
    EXPECT_EQ(platform::SendToRunningInstance("", core::FormatHandOver({0, {}}), 500),
              std::nullopt);
}
