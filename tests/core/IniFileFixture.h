#pragma once
// A scratch directory with a config.ini path in it, for the IniFile tests of every system.

#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class IniFileFixture : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = test_support::MakeScratchDirectory("qmk-ini-");
        ASSERT_FALSE(dir_.empty()) << "cannot make a temporary directory";
        path_ = dir_ / "config.ini";
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }

    void Put(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Get() const
    {
        std::ifstream file(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> DirectoryEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::filesystem::path dir_;
    std::filesystem::path path_;
};
