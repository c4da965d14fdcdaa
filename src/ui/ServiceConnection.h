#pragma once
// TServiceConnection: the start tab's way to the service and back. It starts the two
// background tasks (start address, update check), opens the start tab when the start
// address arrives, and watches every load of the start tab that goes to the service (the
// first, a reload, the page's own navigation, a crash reload, a retry): a load with no
// first byte in time, or one that fails, shows the client's "无法连接到服务" page and is
// tried again, with a freshly composed start address, after each of the retry pauses. A
// tab whose renderer died gets the client's page with "重新加载"; the start tab reloads
// by itself once.
//
// UI thread only. The tab book and the mailbox's window must outlive it; `closing` tells
// it when the window has begun to end, after which it starts nothing.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "core/PageRecovery.h"
#include "engine/Chromium.h"
#include "ui/FormMainOptions.h"
#include "ui/WindowMailbox.h"

class TSkinTabSheet;
class TTabBook;

class TServiceConnection : public QObject {
    Q_OBJECT
public:
    TServiceConnection(TTabBook& tabs, TWindowMailboxRef mailbox, const TFormMainOptions& options,
                       std::function<bool()> closing, QObject* parent);

    // Starts the start-address and update-check tasks.
    void Start();
    // Message 2040: the start address, or empty when it could not be composed. The first
    // opens the start tab; later ones are retries and load in it, if it is still open.
    void StartUrlArrived(const QString& address);
    QString StartUrl() const { return startUrl_; }
    // The start tab's view, once the start address has opened it.
    engine::TChromium* StartView() const { return startView_; }
    // The start tab shows that the service cannot be reached (and retries).
    bool Unreachable() const { return unreachable_; }
    // The start tab's page shows the client's own caption instead of the page's title.
    bool KeepsCaption(engine::TChromium* sender, const engine::BrowserRef& browser) const;

    // Page events of the window's views.
    void LoadStarted(engine::TChromium* sender, const engine::BrowserRef& browser);
    void LoadProgress(engine::TChromium* sender, const engine::BrowserRef& browser, int percent);
    void LoadEnded(engine::TChromium* sender, const engine::BrowserRef& browser);
    void LoadFailed(engine::TChromium* sender, const engine::BrowserRef& browser,
                    const engine::LoadError& error);
    void RendererEnded(engine::TChromium* sender, const engine::BrowserRef& browser,
                       engine::TTerminationStatus status, int exitCode);
    // F5, "刷新" and the button of the client's own page: reloads the browser's page, or
    // tries the service again when the start tab cannot reach it.
    void Reload(const engine::BrowserRef& browser);
    // Tries the start page again now, with a freshly composed start address.
    void Retry();
    // A notification's balloon was clicked: its argument goes to the service page's
    // tipClickHandle (page 0's view until the start tab exists).
    void TipClicked(const QString& argument);

signals:
    // The start tab's caption changed (it tells how the connection goes).
    void StartCaptionChanged(TSkinTabSheet* page);

private:
    bool IsStartTab(engine::TChromium* sender, const engine::BrowserRef& browser) const;
    void ComposeStartUrl();
    void AwaitStartPage();
    void NoFirstByte();
    void ShowUnreachable(const QString& reason);
    void ShowCrashPage(const engine::BrowserRef& browser);
    void SetStartCaption(const QString& caption);

    TTabBook& tabs_;
    TWindowMailboxRef mailbox_;
    const TFormMainOptions options_;
    std::function<bool()> closing_;
    QString startUrl_;
    QPointer<engine::TChromium> startView_;
    bool startTabOpened_ = false;
    core::TRetrySchedule retries_;
    core::TCrashReloadPolicy crashes_;
    // The one pending retry; a new failure or the user's retry replaces it.
    QTimer retryTimer_;
    // Runs from a start-page load until its first byte.
    QTimer firstByteTimer_;
    // The start tab's current load is the start page.
    bool awaited_ = false;
    bool unreachable_ = false;
    // A fresh start address is being composed.
    bool composing_ = false;
};
