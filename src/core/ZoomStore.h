#pragma once
// The zoom of each host as [ZOOM] of a config.ini keeps it. Every address change of every
// page asks for its host's zoom, so each host's entry is read once and kept; a change is
// written through. An edit of the file by someone else meanwhile is not seen. One thread.

#include <filesystem>
#include <string>
#include <unordered_map>

#include "core/IniFile.h"

namespace core {

class TZoomStore {
public:
    explicit TZoomStore(std::filesystem::path configPath);

    // The percentage kept for a host key (core::ZoomKeyOfHost); DefaultZoomPercent when
    // none is stored or the stored text is no percentage (ParseZoomPercent).
    int Percent(const std::string& key);
    // Keeps `percent` for the key, and writes it unless the key already reads as it (so
    // a garbage entry stays until the zoom really changes). Should the write fail, the
    // percentage is still kept for this run.
    void Set(const std::string& key, int percent);

private:
    IniFile file_;
    std::unordered_map<std::string, int> percents_;
};

} // namespace core
