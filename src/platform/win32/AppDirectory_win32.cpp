#include "platform/AppDirectory.h"

#include "platform/XdgDirectories.h"
#include "platform/win32/WideText.h"

#include <filesystem>

#include <windows.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string WithSeparator(std::string path)
{
    if (path.empty() || (path.back() != '\\' && path.back() != '/'))
        path += '\\';
    return path;
}

bool IsInstalled(const std::string& executableDirectory, const std::string& installMarker)
{
    std::error_code ec;
    const fs::path dir = PathOf(executableDirectory).parent_path();
    return _wcsicmp(dir.filename().c_str(), L"bin") == 0 &&
           fs::is_regular_file(PathOf(executableDirectory) / PathOf(installMarker), ec);
}

// Windows has no access() that tells the truth about ACLs: try it.
bool Writable(const std::string& directory)
{
    const std::wstring probe = win32::Widen(WithSeparator(directory)) + L".quillmark-write-test";
    const HANDLE file =
        ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_EXISTS;
    ::CloseHandle(file);
    return true;
}

// Makes `path` and its missing parents; the reason when it cannot be used.
std::string MakeDirectory(const std::string& path)
{
    std::error_code ec;
    fs::create_directories(PathOf(path), ec);
    if (!fs::is_directory(PathOf(path), ec))
        return path + ": " + (ec ? ec.message() : "not a directory");
    if (!Writable(path))
        return path + ": " + win32::ErrorText(ERROR_ACCESS_DENIED);
    return {};
}

} // namespace

TAppDirectory ResolveAppDirectory(const std::string& executableDirectory,
                                  const std::string& dataName, const std::string& installMarker)
{
    TAppDirectory result;
    result.Installed =
        IsInstalled(executableDirectory, installMarker) || !Writable(executableDirectory);
    if (!result.Installed) {
        result.Path = WithSeparator(executableDirectory);
        return result;
    }
    // The per-user data directory of Windows, %LOCALAPPDATA%.
    const std::string dataHome = XdgBaseDirectory("LOCALAPPDATA", "AppData\\Local");
    if (dataHome.empty()) {
        result.Problem = "no user profile directory";
    } else {
        const std::string dir = WithSeparator(dataHome) + dataName;
        result.Problem = MakeDirectory(dir);
        if (result.Problem.empty()) {
            result.Path = WithSeparator(dir);
            return result;
        }
    }
    std::error_code ec;
    const fs::path scratch = fs::temp_directory_path(ec) /
                             PathOf(dataName + "-" + std::to_string(::GetCurrentProcessId()));
    if (!ec && fs::create_directories(scratch, ec) && !ec)
        result.Path = WithSeparator(Utf8Of(scratch));
    return result;
}

} // namespace platform
