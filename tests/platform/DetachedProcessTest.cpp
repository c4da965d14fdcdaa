// Programs the client starts to live on by themselves, and the helpers it ends before it
// ends itself.

#include "platform/DetachedProcess.h"
#include "platform/DescendantProcesses.h"

#include "PlatformTestSupport.h"
#include "support/Processes.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace platform_test;
using testing_support::ExecutableOf;
using testing_support::ParentOf;

namespace {

bool WaitForFile(const std::filesystem::path& path)
{
    for (int i = 0; i < 200 && !std::filesystem::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return std::filesystem::exists(path);
}

std::set<std::string> OpenDescriptors(int pid)
{
    std::set<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd"))
        names.insert(entry.path().filename().string());
    return names;
}

// Running and not a zombie.
bool Alive(int pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    return std::getline(stat, line) && line[line.rfind(')') + 2] != 'Z';
}

int Spawn(const std::vector<std::string>& command)
{
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    return pid;
}

} // namespace

TEST(DetachedProcess, StartsInTheGivenDirectoryWithArgumentsIntact)
{
    TTempDir dir;
    ASSERT_TRUE(platform::StartDetached(
        "/bin/sh",
        {"-c", "{ pwd; printf '%s|' \"$@\"; } > out.tmp && mv out.tmp out.txt", "sh", "two words",
         "quote'd", ""},
        dir.Path().string()));
    ASSERT_TRUE(WaitForFile(dir / "out.txt"));
    EXPECT_EQ(ReadFile(dir / "out.txt"), dir.Path().string() + "\ntwo words|quote'd||");
}

// Descriptors of ours without close-on-exec, one at a high number, and a closed standard
// input: the program gets its standard descriptors (/dev/null for the closed one) and no
// other, and is neither our child nor in our session.
TEST(DetachedProcess, InheritsOnlyTheStandardDescriptors)
{
    TTempDir dir;
    const int inheritable = ::open(dir.Path().c_str(), O_RDONLY);
    const int high = ::dup2(inheritable, 300);
    const int savedInput = ::dup(STDIN_FILENO);
    ::close(STDIN_FILENO);
    const bool started = platform::StartDetached(
        "/bin/sh", {"-c", "echo $$ > pid.tmp && mv pid.tmp pid && exec sleep 30"},
        dir.Path().string());
    ::dup2(savedInput, STDIN_FILENO);
    for (const int fd : {inheritable, high, savedInput})
        ::close(fd);
    ASSERT_TRUE(started);
    ASSERT_TRUE(WaitForFile(dir / "pid"));
    const int pid = std::stoi(ReadFile(dir / "pid"));
    for (int i = 0; i < 200 && !ExecutableOf(pid).ends_with("/sleep"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));

    EXPECT_EQ(OpenDescriptors(pid), (std::set<std::string>{"0", "1", "2"}));
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/fd/0"), "/dev/null");
    EXPECT_NE(ParentOf(pid), int(::getpid()));
    EXPECT_NE(::getsid(pid), ::getsid(0));
    ::kill(pid, SIGKILL);
}

TEST(DetachedProcess, ProgramThatCannotStartIsReported)
{
    std::string error;
    EXPECT_FALSE(platform::StartDetached("/nonexistent/quillmark-no-such-program", {}, "", &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(platform::StartDetached("/bin/true", {}, "/nonexistent/directory", &error));
    EXPECT_EQ(error, "working directory: No such file or directory");
}

// Children and grandchildren of the program's name end, also one that ignores SIGTERM;
// another program is left alone.
TEST(DescendantProcesses, EndsThoseOfTheProgramAndNoOther)
{
    const int child = Spawn({"/bin/sleep", "60"});
    const int parentOfGrandchild = Spawn({"/bin/sh", "-c", "sleep 61; exit 0"});
    const int ignoring = Spawn({"/bin/sh", "-c", "trap '' TERM; exec sleep 62"});
    const int other = Spawn({"/bin/sh", "-c", "exec tail -f /dev/null"});
    // Until the three sleeps run.
    const auto grandchild = [&] {
        for (const int pid : testing_support::ProcessIds())
            if (ParentOf(pid) == parentOfGrandchild && ExecutableOf(pid).ends_with("/sleep"))
                return true;
        return false;
    };
    for (int i = 0; i < 200 && !(ExecutableOf(child).ends_with("/sleep") &&
                                 ExecutableOf(ignoring).ends_with("/sleep") && grandchild());
         ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));

    EXPECT_EQ(platform::EndDescendants("sleep", std::chrono::milliseconds(500)), 3);
    EXPECT_FALSE(Alive(child));
    EXPECT_FALSE(Alive(ignoring));
    EXPECT_TRUE(Alive(other));
    int status = 0;
    // The shell sees its sleep end and exits of itself.
    EXPECT_EQ(::waitpid(parentOfGrandchild, &status, 0), parentOfGrandchild);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(platform::EndDescendants("sleep", std::chrono::milliseconds(500)), 0);
    ::kill(other, SIGKILL);
    for (const int pid : {child, ignoring, other})
        ::waitpid(pid, nullptr, 0);
}
