#include "core/ClearCacheBatch.h"

#include "core/TextUtil.h"

#include <initializer_list>

namespace core {
namespace {

// In double quotes only '%' still means something to cmd: doubled, it stands for itself.
std::optional<std::string> Quoted(const std::string& path)
{
    if (path.find_first_of("\"\r\n") != std::string::npos)
        return std::nullopt;
    return "\"" + ReplaceAll(path, "%", "%%") + "\"";
}

} // namespace

std::optional<std::string> ClearCacheBatch(const std::string& appDir, const std::string& cacheDir,
                                           const std::string& executable)
{
    const auto cache = Quoted(cacheDir + "*");
    const auto cookies = Quoted(appDir + "Cookies"), journal = Quoted(appDir + "Cookies-journal");
    const auto cachedCookies = Quoted(cacheDir + "Cookies");
    const auto cachedJournal = Quoted(cacheDir + "Cookies-journal");
    const auto client = Quoted(executable);
    if (!cache || !cookies || !journal || !cachedCookies || !cachedJournal || !client)
        return std::nullopt;
    std::string batch;
    for (const std::string& line :
         {std::string("choice /t 2 /d y /n >nul"), "del /S /Q " + *cache,
          "copy " + *cookies + " " + *cachedCookies, "copy " + *journal + " " + *cachedJournal,
          "del " + *cookies, "del " + *journal, *client})
        batch += line + "\r\n";
    return batch;
}

} // namespace core
