#include "core/HandOver.h"

#include "core/IniFile.h"

namespace core {
namespace {

constexpr std::string_view SettingsWord = "settings";
constexpr std::string_view OpenWord = "open ";

} // namespace

std::string FormatHandOver(const HandOver& handOver)
{
    std::string line = std::to_string(handOver.Handle);
    switch (handOver.Command.What) {
    case ClientCommand::Kind::ShowWindow:
        break;
    case ClientCommand::Kind::OpenSettings:
        line += ' ';
        line += SettingsWord;
        break;
    case ClientCommand::Kind::OpenAddress:
        line += ' ';
        line += OpenWord;
        line += handOver.Command.Address;
        break;
    }
    return line + '\n';
}

std::optional<HandOver> ParseHandOver(std::string_view line)
{
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const auto space = line.find(' ');
    const auto handle = ParseDecimal(line.substr(0, space));
    if (!handle)
        return std::nullopt;
    if (space == line.npos)
        return HandOver{*handle, {}};
    const std::string_view command = line.substr(space + 1);
    if (command == SettingsWord)
        return HandOver{*handle, {ClientCommand::Kind::OpenSettings, {}}};
    if (command.starts_with(OpenWord) && IsWebAddress(command.substr(OpenWord.size())))
        return HandOver{
            *handle,
            {ClientCommand::Kind::OpenAddress, std::string(command.substr(OpenWord.size()))}};
    return std::nullopt;
}

} // namespace core
