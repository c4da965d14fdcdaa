#pragma once
// The captured ipconfig / arp listings and their worked-out answers
// (tests/fixtures/networking), for the tests of every system.

#include "PlatformTestSupport.h"
#include "core/Lines.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace platform_test {

inline const std::filesystem::path Fixtures = QUILLMARK_FIXTURES_DIR;

// The listings whose names start with `prefix`, in name order.
inline std::vector<std::filesystem::path> FixtureFiles(const std::string& prefix)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(Fixtures)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && name.ends_with(".txt"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A listing's answer, one value a line.
inline core::TLines Expected(std::filesystem::path fixture)
{
    return core::SplitToLines(ReadFile(fixture.replace_extension(".expected")), "\n");
}

// Pairs of a gateway listing ("ipconfig") and a neighbour table ("arp -a") whose answer
// for RT is the table's: the tables' answers assume a gateway they do not list.
inline std::vector<std::pair<std::filesystem::path, std::filesystem::path>> GatewayPairs()
{
    std::vector<std::filesystem::path> gateways = FixtureFiles("ipconfig-en-");
    const std::vector<std::filesystem::path> chinese = FixtureFiles("ipconfig-zh-");
    gateways.insert(gateways.end(), chinese.begin(), chinese.end());
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> pairs;
    for (const auto& gateway : gateways) {
        const core::TLines answer = Expected(gateway);
        for (const auto& table : FixtureFiles("arp-a-"))
            if (answer.empty() || ReadFile(table).find(" " + answer[0] + " ") == std::string::npos)
                pairs.emplace_back(gateway, table);
    }
    return pairs;
}

} // namespace platform_test
