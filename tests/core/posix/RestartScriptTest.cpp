// The restart scripts run by sh against a scratch application directory whose path holds
// every character a shell treats specially, with a stand-in for the client that records
// what it found when it started.

#include "core/RestartScript.h"
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitFor(const std::function<bool()>& condition)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class RestartScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char scratch[] = "/tmp/quillmark-restart-XXXXXX";
        ASSERT_TRUE(::mkdtemp(scratch));
        scratch_ = scratch;
        paths_.AppDir = (scratch_ / "a b 'q\" $HOME `id` & ; * 中文").string() + "/";
        paths_.CacheDir = paths_.AppDir + "cache/";
        paths_.Executable = paths_.AppDir + "quillmark erp";
        paths_.LockPath = (scratch_ / "run $x/client.lock").string();
        fs::create_directories(paths_.AppDir);
        fs::create_directories(fs::path(paths_.LockPath).parent_path());
        // The stand-in records where it runs and what the cache holds by then.
        Write(paths_.Executable, "#!/bin/sh\npwd > \"$0.pwd\"\n"
                                 "cd cache && find . -print | LC_ALL=C sort > \"$0.found\"\n");
        fs::permissions(paths_.Executable, fs::perms::owner_all);
    }

    void TearDown() override
    {
        if (child_ > 0)
            ::waitpid(child_, nullptr, 0);
        fs::remove_all(scratch_);
    }

    void HoldLock()
    {
        lockFd_ = ::open(paths_.LockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(lockFd_, 0);
        ASSERT_EQ(::flock(lockFd_, LOCK_EX), 0);
    }
    void ReleaseLock() { ::close(lockFd_); }

    void Start(const std::vector<std::string>& command)
    {
        std::vector<char*> argv;
        argv.reserve(command.size() + 1);
        for (const std::string& word : command)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, paths_.AppDir.c_str());
        ASSERT_EQ(::posix_spawn(&child_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
    }

    // Starts `command` while the lock is held; checks that it waits for the lock and has
    // touched nothing, then lets it go and waits until the stand-in has run.
    void RunOnceTheClientHasEnded(const std::vector<std::string>& command,
                                  const std::function<void()>& untouched)
    {
        HoldLock();
        Start(command);
        ASSERT_TRUE(WaitFor([&] { return testing_support::SomeoneWaitsForLock(paths_.LockPath); }));
        untouched();
        ReleaseLock();
        ASSERT_TRUE(WaitFor([&] { return fs::exists(paths_.Executable + ".found"); }));
        int status = 0;
        ::waitpid(child_, &status, 0);
        child_ = -1;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_EQ(Read(paths_.Executable + ".pwd"),
                  paths_.AppDir.substr(0, paths_.AppDir.size() - 1) + "\n");
    }

    fs::path scratch_;
    core::TRestartPaths paths_;
    int lockFd_ = -1;
    pid_t child_ = -1;
};

TEST_F(RestartScriptTest, ClearCacheKeepsOnlyTheCookieDatabase)
{
    const fs::path cache = paths_.CacheDir;
    Write(cache / "Cookies", "cookie database");
    Write(cache / "Cookies-journal", "journal");
    Write(cache / "Cache" / "Cache_Data" / "data_0", "cached");
    Write(cache / "Code Cache" / "js" / "index", "code");
    Write(cache / "Local Storage" / "leveldb" / "CURRENT", "storage");
    // Outside the cache: neither a link's target nor a stale copy from an earlier run.
    Write(scratch_ / "outside.txt", "keep me");
    fs::create_symlink(scratch_ / "outside.txt", cache / "link");
    Write(fs::path(paths_.AppDir) / "Cookies-journal", "stale copy");
    Write(fs::path(paths_.AppDir) / "config.ini", "[SYSTEM]\n");

    const fs::path script = fs::path(paths_.AppDir) / core::ClearCacheScriptName;
    Write(script, core::ClearCacheScript(paths_));
    RunOnceTheClientHasEnded({"/bin/sh", script.string()}, [&] {
        EXPECT_TRUE(fs::exists(cache / "Cache" / "Cache_Data" / "data_0"));
    });

    EXPECT_EQ(Read(paths_.Executable + ".found"), ".\n"
                                                  "./Cache\n"
                                                  "./Cache/Cache_Data\n"
                                                  "./Code Cache\n"
                                                  "./Code Cache/js\n"
                                                  "./Cookies\n"
                                                  "./Cookies-journal\n"
                                                  "./Local Storage\n"
                                                  "./Local Storage/leveldb\n");
    EXPECT_EQ(Read(cache / "Cookies"), "cookie database");
    EXPECT_EQ(Read(cache / "Cookies-journal"), "journal");
    EXPECT_FALSE(fs::exists(fs::path(paths_.AppDir) / "Cookies"));
    EXPECT_FALSE(fs::exists(fs::path(paths_.AppDir) / "Cookies-journal"));
    EXPECT_EQ(Read(scratch_ / "outside.txt"), "keep me");
    EXPECT_EQ(Read(fs::path(paths_.AppDir) / "config.ini"), "[SYSTEM]\n");
    // Nothing but the stand-in's records appeared beside the application directory.
    std::vector<std::string> scratch;
    for (const auto& entry : fs::directory_iterator(scratch_))
        scratch.push_back(entry.path().filename().string());
    std::sort(scratch.begin(), scratch.end());
    EXPECT_EQ(scratch, (std::vector<std::string>{"a b 'q\" $HOME `id` & ; * 中文", "outside.txt",
                                                 "run $x"}));
}

TEST_F(RestartScriptTest, ClearCacheWithoutCookieDatabaseStillEmptiesAndRestarts)
{
    Write(fs::path(paths_.CacheDir) / "Cache" / "data_1", "cached");
    const fs::path script = fs::path(paths_.AppDir) / core::ClearCacheScriptName;
    Write(script, core::ClearCacheScript(paths_));
    RunOnceTheClientHasEnded({"/bin/sh", script.string()}, [] {});
    EXPECT_EQ(Read(paths_.Executable + ".found"), ".\n./Cache\n");
}

TEST_F(RestartScriptTest, RestartWaitsForTheLockThenStartsTheClient)
{
    Write(fs::path(paths_.CacheDir) / "Cache" / "data_1", "cached");
    RunOnceTheClientHasEnded(core::RestartCommand(paths_), [] {});
    EXPECT_EQ(Read(paths_.Executable + ".found"), ".\n./Cache\n./Cache/data_1\n");
}

} // namespace
