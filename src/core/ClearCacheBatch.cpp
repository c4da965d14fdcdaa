#include "core/ClearCacheBatch.h"

#include "core/TextUtil.h"

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
    return "choice /t 2 /d y /n >nul\r\n"
           "del /S /Q " + *cache + "\r\n"
           "copy " + *cookies + " " + *cachedCookies + "\r\n"
           "copy " + *journal + " " + *cachedJournal + "\r\n"
           "del " + *cookies + "\r\n"
           "del " + *journal + "\r\n" +
           *client + "\r\n";
}

} // namespace core
