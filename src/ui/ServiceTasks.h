#pragma once
// The two tasks of the service connection that run on worker threads: the start address
// with the workstation's identity, and the check for a newer client. Each reads only the
// copy of the settings it is given and reaches the window only through its mailbox, which
// stays safe after the window is gone; each ends soon after the window does.

#include "shared/Global.h"
#include "ui/WindowMailbox.h"

// Composes the start address and posts it with message 2040 (empty when it could not be
// composed).
void BuildStartUrl(TWindowMailboxRef mailbox, TDeployment deployment);
// Fetches the version file; offers a newer version, starts its updater and posts
// WM_UPDATEACCEPTED once the user accepted it.
void CheckForUpdate(TWindowMailboxRef mailbox, TDeployment deployment);
