// The identity a Windows workstation sends, read through the console runner from
// "ipconfig /all", "ipconfig" and "arp -a". Stand-ins for the commands print the captured
// listings in the console's code page, and the answers are the ones the Linux build
// checks for the same captures.

#include "../ConsoleTestCommands.h"
#include "../NetworkFixtures.h"
#include "platform/ConsoleRunner.h"

#include <gtest/gtest.h>

using namespace platform_test;
namespace fs = std::filesystem;

TEST(IdentityWindows, TheToolReadsTheCapturedListingsThroughTheConsole)
{
    const std::vector<fs::path> adapters = FixtureFiles("ipconfig-all-");
    const auto pairs = GatewayPairs();
    ASSERT_GE(adapters.size(), 18u);
    ASSERT_GE(pairs.size(), adapters.size());

    // The tool finds the commands beside itself before the system's own.
    TTempDir dir;
    fs::copy_file(HelperProgram("quillmark-identity"), dir / "quillmark-identity.exe");
    fs::copy_file(HelperProgram("quillmark-test-listing"), dir / "ipconfig.exe");
    fs::copy_file(HelperProgram("quillmark-test-listing"), dir / "arp.exe");
    const std::string tool = platform::QuoteArgument((dir / "quillmark-identity.exe").string());

    // Each adapter listing once, with a gateway listing and table taken in turn.
    for (size_t i = 0; i < adapters.size(); ++i) {
        const auto& [gateway, table] = pairs[i * pairs.size() / adapters.size()];
        WriteFile(dir / "ipconfig-all.txt", ConsoleBytes(ReadFile(adapters[i])));
        WriteFile(dir / "ipconfig.txt", ConsoleBytes(ReadFile(gateway)));
        WriteFile(dir / "arp-a.txt", ConsoleBytes(ReadFile(table)));
        core::TLines output;
        platform::RunConsoleCommandLines(tool, output, 30'000);
        // The tool prints one KEY=value line each, MacAddress and RT after ComputerName.
        ASSERT_GE(output.size(), 3u) << core::JoinLines(output, "\n");
        const core::TLines answers = {"MacAddress=" + core::JoinLines(Expected(adapters[i]), ";"),
                                      "RT=" + core::JoinLines(Expected(table), "")};
        EXPECT_EQ(core::TLines(output.begin() + 1, output.begin() + 3), answers)
            << adapters[i].filename() << " " << table.filename();
    }
}
