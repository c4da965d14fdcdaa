#pragma once
// A kernel handle closed when it goes out of scope.

#include <windows.h>

namespace platform::win32 {

class THandle {
public:
    explicit THandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~THandle() { Close(); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE Get() const { return handle_; }
    HANDLE* Receive()
    {
        Close();
        return &handle_;
    }
    bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void Close()
    {
        if (Valid())
            ::CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_;
};

} // namespace platform::win32
