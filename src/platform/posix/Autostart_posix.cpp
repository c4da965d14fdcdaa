#include "platform/Autostart.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "core/DesktopEntry.h"
#include "platform/AtomicFile.h"
#include "platform/XdgDirectories.h"

namespace platform {
namespace {

using Step = AutostartFailure::Step;

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

std::string AutostartDirectory()
{
    const std::string config = XdgConfigHome();
    return config.empty() ? std::string() : config + "/autostart";
}

// Makes `directory` and its missing parents with mode 0700, as the XDG rules ask for
// directories they create. Returns the directory that could not be made, with the error.
std::optional<AutostartFailure> MakeDirectories(const std::string& directory)
{
    struct stat st {};
    if (::stat(directory.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return std::nullopt;
        return AutostartFailure{Step::CreateDirectory, directory,
                                std::make_error_code(std::errc::not_a_directory)};
    }
    const auto slash = directory.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        if (auto failure = MakeDirectories(directory.substr(0, slash)))
            return failure;
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
        return AutostartFailure{Step::CreateDirectory, directory, LastError()};
    return std::nullopt;
}

} // namespace

std::string AutostartEntryPath(const std::string& name)
{
    const std::string directory = AutostartDirectory();
    return directory.empty() ? std::string() : directory + "/" + name + ".desktop";
}

bool AutostartEntryStarts(const std::string& name, const std::string& executable)
{
    const std::string path = AutostartEntryPath(name);
    std::ifstream file(path, std::ios::binary);
    if (path.empty() || !file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    return core::DesktopEntryStarts(text.str(), executable);
}

std::optional<AutostartFailure> SetAutostartEntry(const std::string& name, const std::string& label,
                                                  const std::string& executable, bool enable)
{
    const std::string path = AutostartEntryPath(name);
    if (path.empty())
        return AutostartFailure{Step::FindConfigDirectory,
                                {},
                                std::make_error_code(std::errc::no_such_file_or_directory)};
    if (!enable) {
        // ENOTDIR: a file stands where the directory would be, so there is no entry.
        if (::unlink(path.c_str()) != 0 && errno != ENOENT && errno != ENOTDIR)
            return AutostartFailure{Step::RemoveEntry, path, LastError()};
        return std::nullopt;
    }
    const auto entry = core::AutostartDesktopEntry(label, executable);
    if (!entry)
        return AutostartFailure{Step::WriteEntry, path,
                                std::make_error_code(std::errc::illegal_byte_sequence)};
    if (auto failure = MakeDirectories(AutostartDirectory()))
        return failure;
    if (const std::error_code error = WriteFileAtomically(path, *entry, 0644))
        return AutostartFailure{Step::WriteEntry, path, error};
    return std::nullopt;
}

} // namespace platform
