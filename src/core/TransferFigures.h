#pragma once
// The figures a download shows: sizes and speeds in the units people read ("1.5 MB",
// "320 KB/s"), the speed over the last few seconds, the time it still takes, and the "name (1).ext"
// names that keep a finished download from replacing a file nobody agreed to replace.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace core {

// "0 B", "999 B", "1.0 KB", "12.3 MB", "2.00 GB": binary units, three significant digits.
std::string FormatByteCount(std::int64_t bytes);

// "剩余 45 秒", "剩余 3 分钟", "剩余 2 小时 5 分钟": `remainingBytes` at `bytesPerSecond`,
// rounded up (seconds below a minute, whole minutes above). Empty while either is unknown
// (not above 0).
std::string FormatTimeLeft(std::int64_t remainingBytes, double bytesPerSecond);

// Bytes per second over the samples of the last `windowMs` milliseconds.
class TTransferRate {
public:
    explicit TTransferRate(std::int64_t windowMs = 3000) : windowMs_(windowMs) {}
    // `bytes` received in total at `ms` (any steady clock); later samples come later.
    void Add(std::int64_t ms, std::int64_t bytes);
    // 0 until two samples lie apart in time.
    double BytesPerSecond() const;

private:
    struct Sample {
        std::int64_t Ms;
        std::int64_t Bytes;
    };
    std::int64_t windowMs_;
    std::deque<Sample> samples_;
};

// `fileName` with " (n)" before its extension: "report.csv" -> "report (2).csv". A name
// that starts with its only dot (".profile") has no extension; nor do the dots of
// ".tar.gz" count twice: only the last one is the extension's.
std::string NumberedFileName(std::string_view fileName, int n);

} // namespace core
