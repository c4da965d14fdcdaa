#pragma once
// The waits and the restart program of the main window, fixed when it is made. The
// defaults are the client's; tests shorten the waits and start a stand-in.

#include <QString>
#include <vector>

struct TFormMainOptions {
    // Pauses before the retries of a start page that cannot be loaded; the last repeats.
    std::vector<int> StartRetryPausesMs{5000, 10000, 30000, 60000};
    // No first byte of a start-tab load of the service within this time is unreachable.
    int FirstByteTimeoutMs = 30000;
    // The start tab reloads by itself this long after its renderer died.
    int CrashReloadDelayMs = 1000;
    // A second crash of the start tab within this time of its own reload waits for the user.
    int CrashRepeatWindowMs = 60000;
    // The program a restart starts; empty: this executable.
    QString ClientExecutable;
};
