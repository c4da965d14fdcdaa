// The instance mutex and the hand-over to the running client, with a window standing in
// for its main window.

#include "platform/InstanceLock.h"

#include "../PlatformTestSupport.h"
#include "core/HandOver.h"
#include "core/IniFile.h"

#include <chrono>

#include <windows.h>

#include <gtest/gtest.h>

using namespace platform_test;

namespace {

constexpr UINT ShowMessage = 2027;

bool MutexExists(const std::wstring& name)
{
    const HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    if (mutex)
        ::CloseHandle(mutex);
    return mutex != nullptr;
}

// The running client's main window as far as a second start can tell: it counts the
// 2027 it gets and answers a hand-over line naming it with 1 (done).
class TMainWindowStandIn {
public:
    TMainWindowStandIn()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuillmarkMainStandIn";
        ::RegisterClassW(&windowClass);
        window_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 10, 10, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TMainWindowStandIn() { Destroy(); }
    void Destroy()
    {
        if (window_)
            ::DestroyWindow(window_);
        window_ = nullptr;
    }
    HWND Window() const { return window_; }
    std::int64_t Handle() const { return reinterpret_cast<std::int64_t>(window_); }
    // Dispatches what was posted to the window for up to `ms`.
    void Pump(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end && shown_ == 0) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&message);
            ::Sleep(10);
        }
    }
    int shown_ = 0;
    std::string received_;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l)
    {
        auto* self =
            reinterpret_cast<TMainWindowStandIn*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == ShowMessage) {
            ++self->shown_;
            return 0;
        }
        if (self && message == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
            self->received_.assign(static_cast<const char*>(data->lpData), data->cbData);
            const auto handOver = core::ParseHandOver(self->received_);
            return handOver && handOver->Handle == self->Handle() ? 1 : 0;
        }
        return ::DefWindowProcW(window, message, w, l);
    }
    HWND window_ = nullptr;
};

} // namespace

TEST(InstanceLockWindows, TheNamedMutexIsTheSessionsMarkerWhileItsHolderLives)
{
    const std::string name = "BrowserQuillmark";
    ASSERT_FALSE(MutexExists(L"Local\\BrowserQuillmark")) << "a client runs in this session";
    {
        const platform::InstanceLock first(name);
        EXPECT_TRUE(first.Acquired());
        EXPECT_EQ(first.LockPath(), name);
        // No prefix: the logon session's namespace, not the machine's.
        EXPECT_TRUE(MutexExists(L"Local\\BrowserQuillmark"));
        EXPECT_FALSE(MutexExists(L"Global\\BrowserQuillmark"));
        const platform::InstanceLock second(name);
        EXPECT_FALSE(second.Acquired());
    }
    EXPECT_FALSE(MutexExists(L"Local\\BrowserQuillmark"));
    EXPECT_TRUE(platform::InstanceLock(name).Acquired());
}

TEST(InstanceLockWindows, ASecondStartShowsTheWindowNamedInConfigIni)
{
    TTempDir dir;
    TMainWindowStandIn running;
    ASSERT_NE(running.Window(), nullptr);
    ASSERT_TRUE(core::IniFile(dir / "config.ini").WriteInteger("SYSTEM", "HANDLE", running.Handle()));

    // What the second start does: the handle from config.ini, message 2027 posted to it.
    const std::int64_t handle = core::IniFile(dir / "config.ini").ReadInteger("SYSTEM", "HANDLE", 0);
    const core::ClientCommand show;
    EXPECT_EQ(platform::SendToRunningInstance("", core::FormatHandOver({handle, show}), 2000),
              core::HandOverDone);
    running.Pump(2000);
    EXPECT_EQ(running.shown_, 1);

    // A command with text travels whole and is answered.
    const core::ClientCommand settings{core::ClientCommand::Kind::OpenSettings, ""};
    EXPECT_EQ(platform::SendToRunningInstance("", core::FormatHandOver({handle, settings}), 2000),
              core::HandOverDone);
    EXPECT_EQ(running.received_, core::FormatHandOver({handle, settings}));

    // A window that is gone, or none at all, is not there to hand over to.
    running.Destroy();
    EXPECT_EQ(platform::SendToRunningInstance("", core::FormatHandOver({handle, show}), 500),
              std::nullopt);
    EXPECT_EQ(platform::SendToRunningInstance("", core::FormatHandOver({0, show}), 500),
              std::nullopt);
}
