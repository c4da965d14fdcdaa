#include "core/RestartScript.h"

namespace core {
namespace {

std::string Assignments(const TRestartPaths& paths)
{
    return "app=" + ShellQuote(paths.AppDir) + "\ncache=" + ShellQuote(paths.CacheDir) +
           "\nexe=" + ShellQuote(paths.Executable) + "\nlock=" + ShellQuote(paths.LockPath) + "\n";
}

std::string WaitForClientToEnd()
{
    return "flock -w " + std::to_string(RestartWaitSeconds) + " \"$lock\" true || exit 1\n";
}

constexpr char StartClient[] = "exec \"$exe\"\n";

} // namespace

std::string ShellQuote(std::string_view text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string ClearCacheScript(const TRestartPaths& paths)
{
    return "#!/bin/sh\n"
           "# QuillmarkERP writes this script anew for every cache clearing and starts it\n"
           "# just before it ends.\n" +
           Assignments(paths) +
           "cd \"$app\" || exit 1\n"
           "# 1. Wait until the client has ended.\n" +
           WaitForClientToEnd() +
           "# Copy the cookie database out, now that the engine has written it for good.\n"
           "rm -f \"${app}Cookies\" \"${app}Cookies-journal\"\n"
           "saved=yes\n"
           "for name in Cookies Cookies-journal; do\n"
           "    [ ! -e \"$cache$name\" ] || cp -p \"$cache$name\" \"$app$name\" || saved=no\n"
           "done\n"
           "restored=yes\n"
           "if [ \"$saved\" = yes ] && [ -d \"$cache\" ]; then\n"
           "    # 2. Every file below the cache directory; the directories stay.\n"
           "    find \"$cache\" ! -type d -exec rm -f {} +\n"
           "    # 3, 4. The cookie database back in place.\n"
           "    for name in Cookies Cookies-journal; do\n"
           "        [ ! -e \"$app$name\" ] || cp -p \"$app$name\" \"$cache$name\" || restored=no\n"
           "    done\n"
           "fi\n"
           "# 5, 6. The copies, unless the cache could not take the database back.\n"
           "if [ \"$restored\" = yes ]; then\n"
           "    rm -f \"${app}Cookies\"\n"
           "    rm -f \"${app}Cookies-journal\"\n"
           "fi\n"
           "# 7. The client again.\n" +
           StartClient;
}

std::vector<std::string> RestartCommand(const TRestartPaths& paths)
{
    return {"/bin/sh", "-c", Assignments(paths) + WaitForClientToEnd() + StartClient};
}

} // namespace core
