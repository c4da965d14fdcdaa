#pragma once
// The start tab's way back to the service and to a live page (FormMainRecovery.cpp).

#include <QTimer>

#include "core/PageRecovery.h"

struct TStartConnection {
    TStartConnection(std::vector<int> retryPausesMs, std::int64_t crashWindowMs)
        : Retries(std::move(retryPausesMs)), Crashes(crashWindowMs)
    {
        RetryTimer.setSingleShot(true);
        FirstByteTimer.setSingleShot(true);
    }

    core::TRetrySchedule Retries;
    core::TCrashReloadPolicy Crashes;
    // The one pending retry; a new failure or the user's retry replaces it.
    QTimer RetryTimer;
    // Runs from the start page's load until its first byte.
    QTimer FirstByteTimer;
    // The start tab's current load is the start page.
    bool Awaited = false;
    // The start tab shows that the service cannot be reached.
    bool Unreachable = false;
    // A fresh start address is being composed.
    bool Composing = false;
};
