#include "core/StartAddress.h"

#include <gtest/gtest.h>

using core::BuildStartAddress;
using core::TWorkstationIdentity;

namespace {

TEST(BuildStartAddress, EncodesEveryValueInFixedOrder)
{
    const TWorkstationIdentity id{"测试", "00:1A:2B:3C:4D:5E;00:50:56:C0:00:08",
                                  "00-11-22-33-44-55", "", "192.168.1.20, 192.168.56.1"};
    EXPECT_EQ(BuildStartAddress("erp.example", 6868, id),
              "http://erp.example:6868/?ComputerName=%E6%B5%8B%E8%AF%95"
              "&MacAddress=00%3A1A%3A2B%3A3C%3A4D%3A5E%3B00%3A50%3A56%3AC0%3A00%3A08"
              "&RT=00-11-22-33-44-55&IpOut=&IpIn=192.168.1.20%2C+192.168.56.1");
}

TEST(BuildStartAddress, EmptyValuesLeaveTheirKeys)
{
    const TWorkstationIdentity id{"", "", "", "", " "};
    EXPECT_EQ(BuildStartAddress("127.0.0.1", 6868, id),
              "http://127.0.0.1:6868/?ComputerName=&MacAddress=&RT=&IpOut=&IpIn=+");
}

TEST(BuildStartAddress, IpOutIsSentEvenWhenSet)
{
    // IpOut is encoded like the others; the client never fills it today.
    const TWorkstationIdentity id{"PC", "", "", "1.2.3.4", "10.0.0.2"};
    EXPECT_EQ(BuildStartAddress("h", 1, id),
              "http://h:1/?ComputerName=PC&MacAddress=&RT=&IpOut=1.2.3.4&IpIn=10.0.0.2");
}

TEST(BuildStartAddress, Ipv6HostIsBracketed)
{
    const TWorkstationIdentity id;
    EXPECT_EQ(BuildStartAddress("::1", 6868, id).substr(0, 19), "http://[::1]:6868/?");
    EXPECT_EQ(BuildStartAddress("[::1]", 6868, id).substr(0, 19), "http://[::1]:6868/?");
}

} // namespace
