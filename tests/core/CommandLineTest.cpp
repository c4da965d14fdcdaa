#include "core/CommandLine.h"
#include "core/HandOver.h"

#include <gtest/gtest.h>

namespace {

using core::ClientCommand;
using Kind = core::ClientCommand::Kind;

struct LineCase {
    std::vector<std::string> arguments;
    std::optional<ClientCommand> command; // nullopt: refused
    const char* errorPart = "";
};

// Names the row after its arguments.
void PrintTo(const LineCase& row, std::ostream* out)
{
    for (const std::string& argument : row.arguments)
        *out << testing::PrintToString(argument.substr(0, 40)) << ' ';
}

class CommandLine : public testing::TestWithParam<LineCase> {};

TEST_P(CommandLine, GivesTheCommandOrRefusesWithAReason)
{
    const auto parsed = core::ParseCommandLine(GetParam().arguments);
    EXPECT_EQ(parsed.Command, GetParam().command);
    EXPECT_NE(parsed.Error.find(GetParam().errorPart), std::string::npos) << parsed.Error;
    EXPECT_EQ(parsed.Error.empty(), parsed.Command.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLine,
    testing::Values(
        LineCase{{}, ClientCommand{}},
        LineCase{{"--settings"}, ClientCommand{Kind::OpenSettings, {}}},
        LineCase{{"HTTPS://h:6868/a?b=1#c"},
                 ClientCommand{Kind::OpenAddress, "HTTPS://h:6868/a?b=1#c"}},
        // Qt's and the engine's own options pass, with the value of Qt's that take one.
        LineCase{{"-platform", "xcb", "--disable-gpu", "--style=fusion", "http://h/"},
                 ClientCommand{Kind::OpenAddress, "http://h/"}},
        LineCase{{"file:///etc/passwd"}, std::nullopt, "not file:"},
        LineCase{{"javascript:alert(1)"}, std::nullopt, "not javascript:"},
        LineCase{{"erp.example.com/page"}, std::nullopt, "not an address"},
        LineCase{{"http:erp.example.com"}, std::nullopt, "needs a host"},
        LineCase{{"http:///path"}, std::nullopt, "needs a host"},
        LineCase{{"http://h/a\nb"}, std::nullopt, "control characters"},
        LineCase{{"http://h/" + std::string(core::MaxAddressLength, 'a')}, std::nullopt, "longer"},
        LineCase{{"http://a/", "http://b/"}, std::nullopt, "only one address"},
        LineCase{{"--settings", "http://a/"}, std::nullopt, "cannot be given together"}));

TEST(HandOver, EveryCommandTravelsOnOneLine)
{
    for (const core::HandOver& handOver : std::vector<core::HandOver>{
             {4194339, {}},
             {7, {Kind::OpenSettings, {}}},
             {7, {Kind::OpenAddress, "https://h/a b?x=\"2\""}},
             {7,
              {Kind::OpenAddress, "http://h/" + std::string(core::MaxAddressLength - 9, 'a')}}}) {
        const std::string line = core::FormatHandOver(handOver);
        EXPECT_LE(line.size(), core::MaxHandOverLine);
        EXPECT_EQ(line.find('\n'), line.size() - 1);
        EXPECT_EQ(core::ParseHandOver(line), handOver) << line;
    }
    // What earlier clients send.
    EXPECT_EQ(core::FormatHandOver({42, {}}), "42\n");
    for (const char* line : {"", "abc\n", "42 \n", "42 shutdown\n", "42 settings now\n",
                             "42 open file:///etc/passwd\n", "99999999999999999999\n"})
        EXPECT_EQ(core::ParseHandOver(line), std::nullopt) << line;
}

} // namespace
