#pragma once
// TRestarter: the script dialogs of the main window's pages in the client's own boxes,
// with their flood guard (the engine's own dialogs take the same boxes from its making on), and the
// restarts the page commands ask for (cache clearing, re-login): at most one per client, started in
// AppDir so that it waits for this client's instance lock. The window keeps its close flags and its
// close; it asks the restarter first and then ends itself.
//
// UI thread only. Owned by TFormMain, made with it and gone with it; the instance lock
// it is given must outlive it.

#include <QString>
#include <string>
#include <vector>

#include "core/DialogFloodGuard.h"
#include "engine/Callbacks.h"
#include "engine/EngineTypes.h"

namespace core {
struct TRestartPaths;
}
namespace platform {
class InstanceLock;
}

class TRestarter {
public:
    // clientExecutable: the program a restart starts; empty: this executable.
    explicit TRestarter(QString clientExecutable);

    // The lock that keeps other instances out. Start-up owns it and releases it last,
    // after the engine has shut down; a restart waits for it. Null: no restart can wait.
    void SetInstanceMutex(const platform::InstanceLock* lock);

    // A plain script dialog of `browser`'s page, in a box of the client; a page that
    // shows box after box may be silenced until it navigates.
    void ShowPageDialog(const engine::BrowserRef& browser, engine::TJsDialogType dialogType,
                        const QString& messageText, const QString& defaultPromptText,
                        const engine::JsDialogCallbackRef& callback);
    // The page `page` loads another document: its dialogs show again.
    void PageNavigated(int page);

    // Writes ClearCache.sh and starts it; a failure is told in a box. Only the first call
    // of a client does anything.
    void ClearCache();
    // Asks whether to log in again and starts the client anew. True when it has been
    // started: the window should end now without asking. `askingPage`: the dialog that
    // carried the command; the question closes (as No) when that page goes away.
    bool Relogin(const engine::JsDialogCallbackRef& askingPage);
    // A restart (cache clearing or re-login) has been asked for; there is at most one.
    bool RestartRequested() const { return restartRequested_; }

private:
    core::TRestartPaths RestartPaths() const;
    // Starts `command` in AppDir; it waits by itself until this client has ended.
    bool StartRestart(const std::vector<std::string>& command, QString* error);

    const QString clientExecutable_;
    const platform::InstanceLock* instanceMutex_ = nullptr;
    core::TDialogFloodGuard dialogFlood_;
    bool restartRequested_ = false;
};
