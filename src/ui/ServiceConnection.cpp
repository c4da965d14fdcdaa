#include "ui/ServiceConnection.h"

#include <QLoggingCategory>
#include <QPushButton>

#include "core/CommonThread.h"
#include "core/ScriptLiteral.h"
#include "shared/Global.h"
#include "shared/ZphConst.h"
#include "ui/PageProblem.h"
#include "ui/ServiceTasks.h"
#include "ui/SteadyClock.h"
#include "ui/TabBook.h"

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

TServiceConnection::TServiceConnection(TTabBook& tabs, TWindowMailboxRef mailbox,
                                       const TFormMainOptions& options,
                                       std::function<bool()> closing, QObject* parent)
    : QObject(parent), tabs_(tabs), mailbox_(std::move(mailbox)), options_(options),
      closing_(std::move(closing)), retries_(options.StartRetryPausesMs),
      crashes_(options.CrashRepeatWindowMs)
{
    retryTimer_.setSingleShot(true);
    firstByteTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &TServiceConnection::Retry);
    connect(&firstByteTimer_, &QTimer::timeout, this, &TServiceConnection::NoFirstByte);
}

void TServiceConnection::Start()
{
    ComposeStartUrl();
    core::RunOnceInBackground([mailbox = mailbox_, deployment = CurrentDeployment()] {
        CheckForUpdate(mailbox, deployment);
    });
}

void TServiceConnection::ComposeStartUrl()
{
    core::RunOnceInBackground([mailbox = mailbox_, deployment = CurrentDeployment()] {
        BuildStartUrl(mailbox, deployment);
    });
}

void TServiceConnection::StartUrlArrived(const QString& address)
{
    if (address.isEmpty()) {
        // A retry that could not compose its address is tried again later.
        if (startView_ && std::exchange(composing_, false))
            ShowUnreachable(QStringLiteral("the start address could not be composed"));
        return;
    }
    startUrl_ = address;
    if (startView_)
        startView_->Load(startUrl_);
    else if (!startTabOpened_)
        startView_ = tabs_.OpenAddress(startUrl_);
    else
        return;
    startTabOpened_ = true;
    AwaitStartPage();
}

bool TServiceConnection::IsStartTab(engine::TChromium* sender,
                                    const engine::BrowserRef& browser) const
{
    return startView_ && sender == startView_ && !browser->IsPopup();
}

bool TServiceConnection::KeepsCaption(engine::TChromium* sender,
                                      const engine::BrowserRef& browser) const
{
    return unreachable_ && IsStartTab(sender, browser);
}

void TServiceConnection::AwaitStartPage()
{
    composing_ = false;
    awaited_ = true;
    firstByteTimer_.start(options_.FirstByteTimeoutMs);
}

void TServiceConnection::NoFirstByte()
{
    if (!awaited_ || !startView_)
        return;
    awaited_ = false;
    startView_->Browser()->StopLoad();
    ShowUnreachable(QStringLiteral("no answer within %1 ms").arg(options_.FirstByteTimeoutMs));
}

void TServiceConnection::LoadStarted(engine::TChromium* sender, const engine::BrowserRef& browser)
{
    // Every load of the start tab that goes to the service (a reload, the page's own
    // navigation) is watched as the first one is.
    const QWebEnginePage* page = browser->Page();
    if (IsStartTab(sender, browser) && !composing_ && page && IsServicePage(page->requestedUrl()))
        AwaitStartPage();
}

void TServiceConnection::LoadProgress(engine::TChromium* sender, const engine::BrowserRef& browser,
                                      int percent)
{
    // A service that answers slowly is still answering.
    if (percent > 0 && IsStartTab(sender, browser))
        firstByteTimer_.stop();
}

void TServiceConnection::LoadEnded(engine::TChromium* sender, const engine::BrowserRef& browser)
{
    const bool startPage = IsStartTab(sender, browser);
    // The engine's own error page under ours is no sign of the service.
    if (startPage && unreachable_ && !awaited_)
        return;
    TPageProblem::RemoveFrom(browser->Window());
    if (!startPage || !awaited_)
        return;
    awaited_ = false;
    firstByteTimer_.stop();
    retries_.Reset();
    if (std::exchange(unreachable_, false)) {
        retryTimer_.stop();
        qCInfo(lcRecovery) << "service reached again";
        SetStartCaption(QString::fromLatin1(zph::AppTitle));
    }
}

void TServiceConnection::LoadFailed(engine::TChromium* sender, const engine::BrowserRef& browser,
                                    const engine::LoadError& error)
{
    if (!IsStartTab(sender, browser) || !(awaited_ || IsServicePage(error.FailedUrl)) ||
        !core::IsServiceUnreachable(error.HttpStatus, error.ErrorCode))
        return;
    awaited_ = false;
    firstByteTimer_.stop();
    ShowUnreachable(error.HttpStatus
                        ? QStringLiteral("HTTP %1").arg(error.ErrorCode)
                        : QStringLiteral("%1 (%2)").arg(error.ErrorText).arg(error.ErrorCode));
}

void TServiceConnection::ShowUnreachable(const QString& reason)
{
    unreachable_ = true;
    const int pauseMs = retries_.NextPauseMs();
    qCWarning(lcRecovery).noquote()
        << "service" << ServiceAddress() << "cannot be reached:" << reason << "- retrying in"
        << pauseMs << "ms";
    retryTimer_.start(pauseMs);

    QWidget* window = startView_->BrowserWindow();
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
    connect(problem, &TPageProblem::Activated, this, &TServiceConnection::Retry);
    tabs_.SetLoadState(window, true);
    SetStartCaption(QStringLiteral("无法连接服务"));
}

void TServiceConnection::Retry()
{
    if (closing_() || !startView_ || composing_)
        return;
    // At most one retry is pending: this one replaces the scheduled one.
    retryTimer_.stop();
    composing_ = true;
    QWidget* window = startView_->BrowserWindow();
    if (TPageProblem* problem = TPageProblem::Of(window)) {
        problem->SetStatus(QStringLiteral("正在连接服务..."));
        problem->SetBusy(true);
    }
    tabs_.SetLoadState(window, false);
    SetStartCaption(QStringLiteral("正在连接服务..."));
    ComposeStartUrl();
}

void TServiceConnection::SetStartCaption(const QString& caption)
{
    auto* page = startView_ ? qobject_cast<TSkinTabSheet*>(startView_->parentWidget()) : nullptr;
    if (!page)
        return;
    page->SetCaption(caption);
    emit StartCaptionChanged(page);
}

void TServiceConnection::RendererEnded(engine::TChromium* sender, const engine::BrowserRef& browser,
                                       engine::TTerminationStatus status, int exitCode)
{
    const QWebEnginePage* page = browser->Page();
    qCWarning(lcRecovery).noquote() << "renderer of" << (page ? page->url().toString() : QString())
                                    << StatusName(status) << "with exit status" << exitCode;
    if (closing_() || !browser->Window())
        return;
    tabs_.SetLoadState(browser->Window(), true);
    ShowCrashPage(browser);

    if (!IsStartTab(sender, browser) || !crashes_.ReloadByItself(qint64(SteadyMilliseconds())))
        return;
    if (TPageProblem* problem = TPageProblem::Of(browser->Window()))
        problem->SetStatus(QStringLiteral("正在重新加载..."));
    QTimer::singleShot(options_.CrashReloadDelayMs, startView_, [this, browser] {
        // The user may have reloaded it already.
        if (closing_() || !startView_ || !TPageProblem::Of(browser->Window()))
            return;
        TPageProblem::RemoveFrom(browser->Window());
        startView_->Load(startUrl_);
        AwaitStartPage();
    });
}

void TServiceConnection::ShowCrashPage(const engine::BrowserRef& browser)
{
    TPageProblem* problem = TPageProblem::ShowOn(browser->Window());
    problem->SetContent(QStringLiteral("页面已停止运行"),
                        QStringLiteral("显示此页面的进程意外结束了，页面需要重新加载。"),
                        QStringLiteral("重新加载"));
    problem->SetStatus(QString());
    problem->SetBusy(false);
    disconnect(problem, &TPageProblem::Activated, this, nullptr);
    connect(problem, &TPageProblem::Activated, this, [this, browser] { Reload(browser); });
}

void TServiceConnection::TipClicked(const QString& argument)
{
    const TBrowserTab* service = tabs_.Find(1);
    if (service && service->Browser)
        service->Browser->GetMainFrame()->ExecuteJavaScript(
            QString::fromStdString(core::TipClickScript(argument.toStdString())),
            QStringLiteral("about:blank"), 0);
}

void TServiceConnection::Reload(const engine::BrowserRef& browser)
{
    if (!browser)
        return;
    if (startView_ && browser == startView_->Browser() && unreachable_) {
        Retry();
        return;
    }
    TPageProblem::RemoveFrom(browser->Window());
    browser->Reload();
}
