#include "core/ZoomStore.h"

#include <utility>

#include "core/Zoom.h"

namespace core {
namespace {

constexpr char ZoomSection[] = "ZOOM";

} // namespace

TZoomStore::TZoomStore(std::filesystem::path configPath) : file_(std::move(configPath)) {}

int TZoomStore::Percent(const std::string& key)
{
    if (const auto kept = percents_.find(key); kept != percents_.end())
        return kept->second;
    const auto stored = file_.Find(ZoomSection, key);
    const int percent =
        stored ? ParseZoomPercent(*stored).value_or(DefaultZoomPercent) : DefaultZoomPercent;
    percents_.emplace(key, percent);
    return percent;
}

void TZoomStore::Set(const std::string& key, int percent)
{
    if (Percent(key) == percent)
        return;
    percents_[key] = percent;
    file_.WriteInteger(ZoomSection, key, percent);
}

} // namespace core
