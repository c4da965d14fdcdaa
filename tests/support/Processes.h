#pragma once
// What runs on this machine, read from /proc, for tests of restarts (no Qt).

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace testing_support {

inline std::vector<int> ProcessIds()
{
    std::vector<int> ids;
    if (DIR* proc = ::opendir("/proc")) {
        while (dirent* entry = ::readdir(proc))
            if (const int pid = std::atoi(entry->d_name); pid > 0)
                ids.push_back(pid);
        ::closedir(proc);
    }
    return ids;
}

// The arguments of `pid`, each followed by a NUL; empty once it has gone.
inline std::string CommandLineOf(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The program `pid` runs; empty once it has gone.
inline std::string ExecutableOf(int pid)
{
    char path[4096];
    const ssize_t length =
        ::readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), path, sizeof path);
    return length > 0 ? std::string(path, size_t(length)) : std::string();
}

// True when `pid` runs with `entry` ("NAME=value") in its environment.
inline bool HasEnvironmentEntry(int pid, const std::string& entry)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/environ", std::ios::binary);
    std::stringstream text;
    text << '\0' << in.rdbuf();
    return text.str().find('\0' + entry + '\0') != std::string::npos;
}

// True while some process waits in `flock` for `lockPath` (a restart waiting for the
// client to end).
inline bool SomeoneWaitsForLock(const std::string& lockPath)
{
    for (int pid : ProcessIds()) {
        const std::string cmdline = CommandLineOf(pid);
        if (cmdline.starts_with(std::string("flock\0", 6)) &&
            cmdline.find(std::string(1, '\0') + lockPath + '\0') != std::string::npos)
            return true;
    }
    return false;
}

} // namespace testing_support
