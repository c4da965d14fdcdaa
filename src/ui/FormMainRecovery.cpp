// Pages that cannot be shown. A tab whose renderer died shows the client's own page
// with "重新加载" (the start tab reloads the start address once by itself); a start
// page that cannot be loaded shows a page with "重试" and is tried again with growing
// pauses, each time with a freshly composed start address, until it loads.

#include <QLoggingCategory>
#include <QPushButton>

#include "shared/Global.h"
#include "shared/ZphConst.h"
#include "ui/FormMain.h"
#include "ui/PageProblem.h"
#include "ui/StartConnection.h"
#include "ui/SteadyClock.h"

Q_LOGGING_CATEGORY(lcRecovery, "quillmark.ui.recovery")

namespace {

const char* StatusName(engine::TTerminationStatus status)
{
    switch (status) {
    case engine::TS_PROCESS_WAS_KILLED:
        return "killed";
    case engine::TS_PROCESS_CRASHED:
        return "crashed";
    case engine::TS_ABNORMAL_TERMINATION:
        break;
    }
    return "ended abnormally";
}

QString ServiceAddress()
{
    return QStringLiteral("%1:%2").arg(ServiceHost()).arg(zph::ServicePort);
}

bool IsServicePage(const QUrl& address)
{
    return address.host().compare(ServiceHost(), Qt::CaseInsensitive) == 0;
}

} // namespace

TStartConnection& TFormMain::StartConnection()
{
    if (!startConnection_) {
        startConnection_ = std::make_unique<TStartConnection>(options_.StartRetryPausesMs,
                                                              options_.CrashRepeatWindowMs);
        connect(&startConnection_->RetryTimer, &QTimer::timeout, this, &TFormMain::RetryStartPage);
        connect(&startConnection_->FirstByteTimer, &QTimer::timeout, this, [this] {
            if (!StartConnection().Awaited || !StartView)
                return;
            StartConnection().Awaited = false;
            StartView->Browser()->StopLoad();
            ServiceUnreachable(
                QStringLiteral("no answer within %1 ms").arg(options_.FirstByteTimeoutMs));
        });
    }
    return *startConnection_;
}

bool TFormMain::StartPageUnreachable() const
{
    return startConnection_ && startConnection_->Unreachable;
}

void TFormMain::AwaitStartPage()
{
    TStartConnection& connection = StartConnection();
    connection.Composing = false;
    connection.Awaited = true;
    connection.FirstByteTimer.start(options_.FirstByteTimeoutMs);
}

void TFormMain::WatchServiceLoad(engine::TChromium* sender, const engine::BrowserRef& browser)
{
    // Every load of the start tab that goes to the service (a reload, the page's own
    // navigation) is watched as the first one is.
    const QWebEnginePage* page = browser->Page();
    if (Closing || sender != StartView || browser->IsPopup() || !startConnection_ ||
        startConnection_->Composing || !page || !IsServicePage(page->requestedUrl()))
        return;
    AwaitStartPage();
}

void TFormMain::crmLoadProgress(engine::TChromium* sender, const engine::BrowserRef& browser,
                                int percent)
{
    // A service that answers slowly is still answering.
    if (percent > 0 && sender == StartView && !browser->IsPopup() && startConnection_)
        startConnection_->FirstByteTimer.stop();
}

void TFormMain::crmLoadEnd(engine::TChromium* sender, const engine::BrowserRef& browser, int)
{
    if (Closing)
        return;
    const bool startPage = sender == StartView && !browser->IsPopup() && startConnection_;
    // The engine's own error page under ours is no sign of the service.
    if (startPage && startConnection_->Unreachable && !startConnection_->Awaited)
        return;
    TPageProblem::RemoveFrom(browser->Window());
    if (!startPage || !startConnection_->Awaited)
        return;
    TStartConnection& connection = *startConnection_;
    connection.Awaited = false;
    connection.FirstByteTimer.stop();
    connection.Retries.Reset();
    if (std::exchange(connection.Unreachable, false)) {
        connection.RetryTimer.stop();
        qCInfo(lcRecovery) << "service reached again";
        SetStartCaption(QString::fromLatin1(zph::AppTitle));
    }
}

void TFormMain::crmLoadError(engine::TChromium* sender, const engine::BrowserRef& browser,
                             const engine::LoadError& error)
{
    if (Closing || sender != StartView || browser->IsPopup() || !startConnection_ ||
        !(startConnection_->Awaited || IsServicePage(error.FailedUrl)) ||
        !core::IsServiceUnreachable(error.HttpStatus, error.ErrorCode))
        return;
    startConnection_->Awaited = false;
    startConnection_->FirstByteTimer.stop();
    ServiceUnreachable(error.HttpStatus
                           ? QStringLiteral("HTTP %1").arg(error.ErrorCode)
                           : QStringLiteral("%1 (%2)").arg(error.ErrorText).arg(error.ErrorCode));
}

void TFormMain::ServiceUnreachable(const QString& reason)
{
    TStartConnection& connection = StartConnection();
    connection.Unreachable = true;
    const int pauseMs = connection.Retries.NextPauseMs();
    qCWarning(lcRecovery).noquote()
        << "service" << ServiceAddress() << "cannot be reached:" << reason << "- retrying in"
        << pauseMs << "ms";
    connection.RetryTimer.start(pauseMs);

    QWidget* window = StartView->BrowserWindow();
    TPageProblem* problem = TPageProblem::ShowOn(window);
    problem->SetContent(
        QStringLiteral("无法连接到服务"),
        QStringLiteral("无法连接到服务 %1。\n请检查网络连接是否正常；如果网络正常，请联系系统管理员"
                       "确认服务已启动。")
            .arg(ServiceAddress()),
        QStringLiteral("重试"));
    problem->SetStatus(QStringLiteral("客户端将在 %1 秒后自动重试。").arg((pauseMs + 999) / 1000));
    problem->SetBusy(false);
    disconnect(problem, &TPageProblem::Activated, this, nullptr);
    connect(problem, &TPageProblem::Activated, this, &TFormMain::RetryStartPage);
    UpdateTabLoadState(window, true);
    SetStartCaption(QStringLiteral("无法连接服务"));
}

void TFormMain::RetryStartPage()
{
    if (Closing || !StartView || !startConnection_ || startConnection_->Composing)
        return;
    TStartConnection& connection = *startConnection_;
    // At most one retry is pending: this one replaces the scheduled one.
    connection.RetryTimer.stop();
    connection.Composing = true;
    QWidget* window = StartView->BrowserWindow();
    if (TPageProblem* problem = TPageProblem::Of(window)) {
        problem->SetStatus(QStringLiteral("正在连接服务..."));
        problem->SetBusy(true);
    }
    UpdateTabLoadState(window, false);
    SetStartCaption(QStringLiteral("正在连接服务..."));
    ComposeStartUrlAgain();
}

void TFormMain::SetStartCaption(const QString& caption)
{
    TSkinTabSheet* page =
        StartView ? qobject_cast<TSkinTabSheet*>(StartView->parentWidget()) : nullptr;
    if (!page)
        return;
    page->SetCaption(caption);
    if (PageControl1->ActivePage() == page)
        PageControl1Change();
    else
        PageControl1->RepaintStrip();
}

void TFormMain::crmRenderProcessTerminated(engine::TChromium* sender,
                                           const engine::BrowserRef& browser,
                                           engine::TTerminationStatus status, int exitCode)
{
    const QWebEnginePage* page = browser->Page();
    qCWarning(lcRecovery).noquote() << "renderer of" << (page ? page->url().toString() : QString())
                                    << StatusName(status) << "with exit status" << exitCode;
    if (Closing || !browser->Window())
        return;
    UpdateTabLoadState(browser->Window(), true);
    ShowCrashPage(browser);

    const bool startTab = sender == StartView && !browser->IsPopup();
    if (!startTab || !StartConnection().Crashes.ReloadByItself(qint64(SteadyMilliseconds())))
        return;
    if (TPageProblem* problem = TPageProblem::Of(browser->Window()))
        problem->SetStatus(QStringLiteral("正在重新加载..."));
    QTimer::singleShot(options_.CrashReloadDelayMs, StartView, [this, browser] {
        // The user may have reloaded it already.
        if (Closing || !StartView || !TPageProblem::Of(browser->Window()))
            return;
        TPageProblem::RemoveFrom(browser->Window());
        StartView->Load(StartUrl);
        AwaitStartPage();
    });
}

void TFormMain::ShowCrashPage(const engine::BrowserRef& browser)
{
    TPageProblem* problem = TPageProblem::ShowOn(browser->Window());
    problem->SetContent(QStringLiteral("页面已停止运行"),
                        QStringLiteral("显示此页面的进程意外结束了，页面需要重新加载。"),
                        QStringLiteral("重新加载"));
    problem->SetStatus(QString());
    problem->SetBusy(false);
    disconnect(problem, &TPageProblem::Activated, this, nullptr);
    connect(problem, &TPageProblem::Activated, this, [this, browser] { ReloadBrowser(browser); });
}

void TFormMain::ReloadBrowser(const engine::BrowserRef& browser)
{
    if (!browser)
        return;
    if (StartView && browser == StartView->Browser() && StartPageUnreachable()) {
        RetryStartPage();
        return;
    }
    TPageProblem::RemoveFrom(browser->Window());
    browser->Reload();
}
