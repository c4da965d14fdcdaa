#include "platform/AtomicFile.h"

#include "platform/FileNames.h"
#include "platform/PlatformLog.h"
#include "platform/win32/Handle.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <random>

#include <windows.h>

namespace platform {
namespace {

using win32::LastError;
using win32::THandle;
using win32::Widen;

constexpr int Attempts = 100;

std::string RandomSuffix(std::mt19937& random)
{
    static constexpr char Letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix;
    for (size_t i = 0; i < TemporaryRandomLength; ++i)
        suffix += Letters[random() % (sizeof Letters - 1)];
    return suffix;
}

// A new file of that pattern, made exclusively; its name goes to `temporary`.
HANDLE CreateTemporary(const std::string& path, std::string& temporary)
{
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        temporary = path + TemporaryInfix + RandomSuffix(random);
        const HANDLE file = ::CreateFileW(Widen(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

std::error_code WriteAll(HANDLE file, std::string_view content)
{
    while (!content.empty()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<size_t>(content.size(), 1u << 30));
        if (!::WriteFile(file, content.data(), chunk, &written, nullptr))
            return LastError();
        content.remove_prefix(written);
    }
    return {};
}

std::pair<std::string, std::string> Split(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return {".", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

} // namespace

// Windows files have no mode bits; they take the permissions of their directory.
std::error_code WriteFileAtomically(const std::string& path, std::string_view content, unsigned)
{
    std::string temporary;
    std::error_code error;
    {
        THandle file(CreateTemporary(path, temporary));
        if (!file.Valid())
            return LastError();
        error = WriteAll(file.Get(), content);
        if (!error && !::FlushFileBuffers(file.Get()))
            error = LastError();
    }
    // Write-through: the call returns once the rename itself is on disk.
    if (!error && !::MoveFileExW(Widen(temporary).c_str(), Widen(path).c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = LastError();
    if (error)
        ::DeleteFileW(Widen(temporary).c_str());
    return error;
}

std::error_code ReplaceFileAtomically(const std::string& path, std::string_view content)
{
    return WriteFileAtomically(path, content, 0644);
}

int RemoveStaleTemporaries(const std::string& path)
{
    const auto [directory, name] = Split(path);
    const std::string prefix = directory == "." ? std::string() : directory;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(Widen(prefix + name + ".tmp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int removed = 0;
    do {
        const std::string candidate = win32::Narrow(found.cFileName);
        if (!IsTemporaryOf(name, candidate))
            continue;
        if (::DeleteFileW(Widen(prefix + candidate).c_str()))
            ++removed;
        else
            LogWarning("cannot remove " + prefix + candidate + ": " +
                       win32::ErrorText(::GetLastError()));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return removed;
}

} // namespace platform
