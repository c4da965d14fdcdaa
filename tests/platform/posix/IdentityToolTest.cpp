// quillmark-identity against the captured Windows listings and their worked-out answers.

#include "core/Lines.h"
#include "core/StartAddress.h"
#include "core/TextCodec.h"
#include "platform/ConsoleRunner.h"
#include "platform/WorkstationIdentity.h"

#include "../NetworkFixtures.h"
#include "PosixTestSupport.h"

#include <QStringEncoder>

#include <algorithm>

#include <gtest/gtest.h>

using namespace platform_test;
namespace fs = std::filesystem;

namespace {

struct TToolRun {
    int Status = -1;
    core::TLines Output;
    std::string Errors;

    // The value of a KEY=value line; "(missing)" when there is no such line.
    std::string Value(const std::string& key) const
    {
        for (const std::string& line : Output) {
            if (line.starts_with(key + "="))
                return line.substr(key.size() + 1);
        }
        return "(missing)";
    }
};

// The tool is built into the same directory as this test.
TToolRun RunTool(const std::vector<std::string>& arguments)
{
    const fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / "quillmark-identity";
    EXPECT_TRUE(fs::exists(tool)) << "build the quillmark-identity target first";
    TTempDir dir;
    std::string command = ShellQuote(tool.string());
    for (const std::string& argument : arguments)
        command += " " + ShellQuote(argument);
    TToolRun run;
    platform::RunConsoleCommandLines(command + " 2>" + ShellQuote((dir / "stderr").string()) +
                                         "; echo \"status=$?\"",
                                     run.Output);
    if (!run.Output.empty() && run.Output.back().starts_with("status=")) {
        run.Status = std::stoi(run.Output.back().substr(7));
        run.Output.pop_back();
    }
    run.Errors = ReadFile(dir / "stderr");
    return run;
}

std::string ToGbk(const std::string& utf8)
{
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder(QString::fromStdString(utf8));
    EXPECT_FALSE(encoder.hasError());
    return bytes.toStdString();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// A gateway listing whose gateway does occur in arp-a-zh-1.
const std::string ChineseGatewayListing =
    "\r\nWindows IP 配置\r\n\r\n以太网适配器 本地连接:\r\n\r\n"
    "   IPv4 地址 . . . . . . . . . . . . : 172.16.20.40\r\n"
    "   默认网关. . . . . . . . . . . . . : 172.16.20.1\r\n";

} // namespace

TEST(IdentityTool, ComputesWhatAWindowsWorkstationSendsForEveryCapture)
{
    const std::vector<fs::path> adapters = FixtureFiles("ipconfig-all-");
    const auto pairs = GatewayPairs();
    ASSERT_GE(adapters.size(), 18u);
    ASSERT_GE(pairs.size(), 50u);

    // Every gateway listing with every table, the adapter listings taken in turn.
    size_t next = 0;
    for (const auto& [gateway, table] : pairs) {
        const fs::path& adapter = adapters[next++ % adapters.size()];
        const TToolRun run = RunTool({"--ipconfig-all", adapter.string(), "--ipconfig",
                                      gateway.string(), "--arp", table.string()});
        const std::string context = adapter.filename().string() + " " +
                                    gateway.filename().string() + " " + table.filename().string() +
                                    "\n" + run.Errors;
        ASSERT_EQ(run.Status, 0) << context;
        EXPECT_EQ(run.Value("MacAddress"), core::JoinLines(Expected(adapter), ";")) << context;
        EXPECT_EQ(run.Value("RT"), core::JoinLines(Expected(table), "")) << context;
    }
    EXPECT_GE(next, adapters.size());
}

TEST(IdentityTool, ReadsCodePage936AndAnyLineEnding)
{
    TTempDir dir;
    const fs::path adapters = Fixtures / "ipconfig-all-zh-2.txt";
    const fs::path table = Fixtures / "arp-a-zh-1.txt";
    const std::string macs = core::JoinLines(Expected(adapters), ";");
    const std::string utf8 = ReadFile(adapters);

    const struct {
        const char* name;
        std::string adapters, gateway, table;
    } variants[] = {
        {"UTF-8", utf8, ChineseGatewayListing, ReadFile(table)},
        {"GBK", ToGbk(utf8), ToGbk(ChineseGatewayListing), ToGbk(ReadFile(table))},
        {"CR only", Replaced(utf8, "\r\n", "\r"), Replaced(ChineseGatewayListing, "\r\n", "\r"),
         Replaced(ReadFile(table), "\r\n", "\r")},
        {"LF only, GBK", ToGbk(Replaced(utf8, "\r\n", "\n")),
         ToGbk(Replaced(ChineseGatewayListing, "\r\n", "\n")),
         ToGbk(Replaced(ReadFile(table), "\r\n", "\n"))},
    };
    for (const auto& v : variants) {
        WriteFile(dir / "all.txt", v.adapters);
        WriteFile(dir / "ipconfig.txt", v.gateway);
        WriteFile(dir / "arp.txt", v.table);
        const TToolRun run =
            RunTool({"--ipconfig-all", (dir / "all.txt").string(), "--ipconfig",
                     (dir / "ipconfig.txt").string(), "--arp", (dir / "arp.txt").string()});
        EXPECT_EQ(run.Status, 0) << v.name << run.Errors;
        EXPECT_EQ(run.Value("MacAddress"), macs) << v.name;
        // Found only when the label 默认网关 was decoded; the fallback would differ.
        EXPECT_EQ(run.Value("RT"), "00-90-28-01-08-ef") << v.name;
    }
    EXPECT_FALSE(core::IsValidUtf8(variants[1].adapters)) << "the GBK copy must not pass as UTF-8";
}

TEST(IdentityTool, EachListingReplacesOnlyItsOwnValue)
{
    const core::TWorkstationIdentity own = platform::ReadWorkstationIdentity();
    const TToolRun adaptersOnly =
        RunTool({"--ipconfig-all", (Fixtures / "ipconfig-all-en-7.txt").string()});
    EXPECT_EQ(adaptersOnly.Value("MacAddress"), "00:0C:29:25:B6:4D");
    EXPECT_EQ(adaptersOnly.Value("RT"), own.RT);

    const TToolRun gatewayOnly = RunTool({"--ipconfig", (Fixtures / "ipconfig-zh-4.txt").string(),
                                          "--arp", (Fixtures / "arp-a-en-2.txt").string()});
    EXPECT_EQ(gatewayOnly.Value("MacAddress"), own.MacAddress);
    EXPECT_EQ(gatewayOnly.Value("RT"), "78-28-ca-c4-66-fe");
}

TEST(IdentityTool, PrintsThisMachineAndTheStartAddress)
{
    const TToolRun run = RunTool({"--host", "erp.example.com"});
    ASSERT_EQ(run.Status, 0) << run.Errors;
    core::TLines keys;
    for (const std::string& line : run.Output)
        keys.push_back(line.substr(0, line.find('=')));
    EXPECT_EQ(keys,
              (core::TLines{"ComputerName", "MacAddress", "RT", "IpOut", "IpIn", "StartUrl"}));

    core::TWorkstationIdentity printed{run.Value("ComputerName"), run.Value("MacAddress"),
                                       run.Value("RT"), run.Value("IpOut"), run.Value("IpIn")};
    EXPECT_EQ(printed.MacAddress, platform::ReadWorkstationIdentity().MacAddress);
    EXPECT_EQ(printed.IpOut, "");
    EXPECT_EQ(run.Value("StartUrl"), core::BuildStartAddress("erp.example.com", 6868, printed));
    EXPECT_TRUE(RunTool({}).Value("StartUrl").starts_with("http://127.0.0.1:6868/?ComputerName="));
}

TEST(IdentityTool, RefusesWhatItCannotUse)
{
    TTempDir dir;
    const std::string listing = (Fixtures / "ipconfig-en-1.txt").string();
    const std::string missing = (dir / "missing.txt").string();
    const std::vector<std::vector<std::string>> cases = {
        {"--ipconfig-all", missing},
        {"--ipconfig-all", dir.Path().string()},
        {"--ipconfig", listing, "--arp", missing},
        {"--ipconfig", listing},
        {"--arp", listing},
        {"--no-such-option"},
        {"stray"},
    };
    for (const auto& arguments : cases) {
        const TToolRun run = RunTool(arguments);
        EXPECT_EQ(run.Status, 2) << core::JoinLines(arguments, " ");
        EXPECT_TRUE(run.Output.empty()) << core::JoinLines(arguments, " ");
        EXPECT_FALSE(run.Errors.empty()) << core::JoinLines(arguments, " ");
    }
    EXPECT_NE(RunTool({"--ipconfig-all", missing}).Errors.find(missing), std::string::npos);

    const TToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(core::JoinLines(help.Output, "\n").find("--ipconfig-all"), std::string::npos);
}
