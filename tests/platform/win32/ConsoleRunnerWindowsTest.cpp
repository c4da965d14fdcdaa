// The console runner against Windows' own command processor and code pages. The tests run
// under a Chinese locale, whose console code page is 936.

#include "platform/ConsoleRunner.h"

#include "../ConsoleTestCommands.h"

#include <chrono>
#include <thread>

#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include <gtest/gtest.h>

using platform::RunConsoleCommand;
using platform::RunConsoleCommandLines;
using namespace platform_test;

namespace {

int Running(const wchar_t* program)
{
    int count = 0;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry))
        count += _wcsicmp(entry.szExeFile, program) == 0;
    ::CloseHandle(snapshot);
    return count;
}

} // namespace

TEST(ConsoleRunnerWindows, TheConsoleSpeaksCodePage936)
{
    ASSERT_EQ(::GetOEMCP(), 936u) << "run the tests with LANG=zh_CN.UTF-8 (make test-windows)";
    EXPECT_EQ(RunConsoleCommand("cmd /c echo 默认网关 gateway"), "默认网关 gateway\r\n");
    core::TLines lines;
    RunConsoleCommandLines("cmd /c echo 物理地址. 1&echo 2", lines);
    EXPECT_EQ(lines, (core::TLines{"物理地址. 1", "2"}));
}

TEST(ConsoleRunnerWindows, TimeLimitEndsEverythingTheCommandStarted)
{
    ASSERT_EQ(Running(L"quillmark-test-printer.exe"), 0);
    // cmd starts the printer, which outlives the limit.
    EXPECT_EQ(RunConsoleCommand("cmd /c " + PrinterCommand({"hi\\x0A", "~30000"}), 5'000), "hi\n");
    for (int i = 0; i < 100 && Running(L"quillmark-test-printer.exe") > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Running(L"quillmark-test-printer.exe"), 0);
}
