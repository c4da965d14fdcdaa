// Composing the start address: the workstation's identity read from the system's
// tables, encoded into the address. Median and worst of many runs.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "core/StartAddress.h"
#include "platform/WorkstationIdentity.h"

int main()
{
    constexpr int Runs = 200;
    std::vector<double> ms;
    std::size_t length = 0;
    for (int i = 0; i < Runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::string address =
            core::BuildStartAddress("127.0.0.1", 6868, platform::ReadWorkstationIdentity());
        const auto end = std::chrono::steady_clock::now();
        length += address.size();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("start address composition (%d runs, %zu bytes each)\n", Runs, length / Runs);
    std::printf("  median %.3f ms   worst %.3f ms   (target: median < 20 ms)\n", ms[Runs / 2],
                ms.back());
    return 0;
}
