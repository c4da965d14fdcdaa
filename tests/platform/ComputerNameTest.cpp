#include "platform/WorkstationIdentity.h"

#include <gtest/gtest.h>

using platform::ShortComputerName;

TEST(ComputerName, IsTheShortNameOfAtMostFifteenCharacters)
{
    const struct {
        const char* host;
        const char* name;
    } cases[] = {
        {"ws-042.office.example.com", "ws-042"},
        {"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmno"},
        {"abcdefghijklmno", "abcdefghijklmno"},
        {"财务部一号机财务部一号机财务部一号机", "财务部一号机财务部一号机财务部"},
        {"pc测试机器名称很长很长很长很长的", "pc测试机器名称很长很长很长很"},
        {".local", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortComputerName(c.host), c.name) << c.host;
}
