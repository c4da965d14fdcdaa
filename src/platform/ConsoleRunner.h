#pragma once
// Runs a console command through the system's command processor (/bin/sh -c here; on
// Windows the command line is started as it is, hidden, and "cmd /c" is the caller's to
// add), without a terminal and with nothing on its standard input, and collects what it
// prints until it ends. Blocks the calling thread (never call it on the UI thread); any thread,
// no shared state.
//
// After `timeoutMs` the command and everything it started are killed; what was read until
// then is kept. A command that cannot be started (here also one the shell cannot find or
// execute: exit status 127 or 126) gives empty output and a log line, never a message to
// the user. The output is collected as bytes and decoded once at the end (UTF-8 here, the
// console's OEM code page on Windows), so no character is cut by a read boundary; the
// text ends at its first NUL.

#include "core/Lines.h"

#include <string>

namespace platform {

// Standard output and standard error together, in the order they were written.
std::string RunConsoleCommand(const std::string& command, int timeoutMs = 10000);

// Standard output only, split into lines (CR LF, lone CR and lone LF all end a line).
// `lines` is emptied first.
void RunConsoleCommandLines(const std::string& command, core::TLines& lines, int timeoutMs = 10000);

} // namespace platform
