#pragma once
// Milliseconds of a clock that never jumps, for the intervals the window measures.

#include <chrono>

inline double SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}
