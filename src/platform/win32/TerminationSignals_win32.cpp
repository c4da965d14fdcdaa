#include "platform/TerminationSignals.h"

#include "platform/PlatformLog.h"
#include "platform/win32/WideText.h"

#include <atomic>

#include <windows.h>

namespace platform {
namespace {

constexpr UINT EndRequest = WM_APP + 1;
constexpr wchar_t WindowClass[] = L"QuillmarkTerminationSignals";

// The window of the live object; the console handler runs on a thread of the system's.
std::atomic<HWND> receiver{nullptr};

const char* NameOf(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        return "SIGINT";
    case CTRL_CLOSE_EVENT:
        return "SIGHUP";
    default:
        return "SIGTERM";
    }
}

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (const HWND window = receiver.load())
        ::PostMessageW(window, EndRequest, event, 0);
    // For these the system ends the process as soon as the handler returns: wait, so that
    // the client ends in order within the system's own limit.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::Sleep(INFINITE);
    return TRUE; // handled: the default handler would end the process on the spot
}

} // namespace

// A message-only window of the calling thread: its event loop dispatches to it.
struct TerminationSignals::TDelivery {
    HWND Window = nullptr;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l)
    {
        if (message == EndRequest) {
            auto* owner =
                reinterpret_cast<TerminationSignals*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
            if (owner)
                owner->handler_(NameOf(DWORD(w)));
            return 0;
        }
        return ::DefWindowProcW(window, message, w, l);
    }
};

TerminationSignals::TerminationSignals(THandler handler) : handler_(std::move(handler))
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TDelivery::Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = WindowClass;
    ::RegisterClassW(&windowClass); // fails harmlessly when a former object registered it
    const HWND window = ::CreateWindowExW(0, WindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          windowClass.hInstance, nullptr);
    if (window == nullptr) {
        LogWarning("no window for the end requests: " + win32::ErrorText(::GetLastError()) +
                   " - they end the client at once");
        return;
    }
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    delivery_ = std::make_unique<TDelivery>();
    delivery_->Window = window;
    receiver.store(window);
    static const bool installed = ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
    if (!installed)
        LogWarning("no console handler for the end requests");
}

TerminationSignals::~TerminationSignals()
{
    // The handler stays for the rest of the process and drops what comes from now on.
    receiver.store(nullptr);
    if (delivery_)
        ::DestroyWindow(delivery_->Window);
}

} // namespace platform
