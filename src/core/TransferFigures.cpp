#include "core/TransferFigures.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace core {

std::string FormatByteCount(std::int64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes < 0 ? 0 : bytes) + " B";
    static constexpr std::array<const char*, 4> Units{"KB", "MB", "GB", "TB"};
    double value = double(bytes) / 1024;
    std::size_t unit = 0;
    // 1023.6 KB would print as "1024 KB": that is the next unit already.
    while (value >= 1023.5 && unit + 1 < Units.size()) {
        value /= 1024;
        ++unit;
    }
    // Three significant digits.
    const int decimals = value < 9.995 ? 2 : value < 99.95 ? 1 : 0;
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.*f %s", decimals, value, Units[unit]);
    return text.data();
}

std::string FormatTimeLeft(std::int64_t remainingBytes, double bytesPerSecond)
{
    if (remainingBytes <= 0 || !(bytesPerSecond > 0))
        return {};
    const double seconds = std::ceil(double(remainingBytes) / bytesPerSecond);
    if (seconds < 60)
        return "剩余 " + std::to_string(std::int64_t(seconds)) + " 秒";
    const auto minutes = std::int64_t(std::ceil(seconds / 60));
    if (minutes < 60)
        return "剩余 " + std::to_string(minutes) + " 分钟";
    std::string text = "剩余 " + std::to_string(minutes / 60) + " 小时";
    if (minutes % 60 != 0)
        text += " " + std::to_string(minutes % 60) + " 分钟";
    return text;
}

void TTransferRate::Add(std::int64_t ms, std::int64_t bytes)
{
    samples_.push_back({ms, bytes});
    // Keep one sample older than the window, so the rate spans the whole window.
    while (samples_.size() > 2 && samples_[1].Ms <= ms - windowMs_)
        samples_.pop_front();
}

double TTransferRate::BytesPerSecond() const
{
    if (samples_.size() < 2)
        return 0;
    const Sample& first = samples_.front();
    const Sample& last = samples_.back();
    if (last.Ms <= first.Ms || last.Bytes < first.Bytes)
        return 0;
    return double(last.Bytes - first.Bytes) * 1000.0 / double(last.Ms - first.Ms);
}

std::string NumberedFileName(std::string_view fileName, int n)
{
    std::size_t dot = fileName.rfind('.');
    if (dot == 0 || dot == std::string_view::npos)
        dot = fileName.size();
    std::string numbered(fileName.substr(0, dot));
    numbered += " (" + std::to_string(n) + ")";
    numbered += fileName.substr(dot);
    return numbered;
}

} // namespace core
