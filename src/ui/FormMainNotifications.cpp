// Web notifications of the service's own pages, shown through the tray: a balloon with
// the title and body, a short sound, and a blinking tray icon until the window is in
// front again. Clicking the balloon is a tip click (2029): the argument goes to the
// service page's tipClickHandle and the window comes to the front.

#include <QIcon>

#include "core/ScriptLiteral.h"
#include "shared/Global.h"
#include "shared/ZphConst.h"
#include "ui/FormMain.h"
#include "ui/NotificationSound.h"
#include "ui/PostedMessages.h"

namespace {

constexpr int BalloonMs = 8000;
constexpr int TrayFrameMs = 300;

// Only the service's own pages may notify.
bool IsServiceOrigin(const QUrl& origin)
{
    const QUrl service(ServiceBaseUrl());
    return origin.scheme() == service.scheme() &&
           origin.host().compare(service.host(), Qt::CaseInsensitive) == 0 &&
           origin.port(80) == service.port(80);
}

QIcon AppIcon()
{
    return QIcon(QStringLiteral(":/images/AppIcon.png"));
}

} // namespace

void TFormMain::CreateNotifications()
{
    TimerTipBalloon = new QTimer(this);
    TimerTipBalloon->setSingleShot(true);
    TimerTipBalloon->setInterval(BalloonMs);
    connect(TimerTipBalloon, &QTimer::timeout, this, &TFormMain::TipBalloonEnded);
    TimerTrayAnimation = new QTimer(this);
    TimerTrayAnimation->setInterval(TrayFrameMs);
    connect(TimerTrayAnimation, &QTimer::timeout, this, &TFormMain::AnimateTrayIcon);
    connect(TrayIcon1, &QSystemTrayIcon::messageClicked, this, [this] {
        if (ShownTip && ShownTip->OpensDownloads)
            NDownloadsClick();
        else if (ShownTip)
            PostMessage(new TTipClickMessage(ShownTip->Argument));
        TipBalloonEnded();
    });
    engine::SetNotificationPolicy(
        {&IsServiceOrigin,
         [this](const engine::Notification& notification) { ShowNotification(notification); }});
}

void TFormMain::ShowNotification(const engine::Notification& notification)
{
    if (SystemSettings.PopupHint) {
        QueueBalloon({notification.Title, notification.Body,
                      notification.Tag.isEmpty() ? notification.Body : notification.Tag});
    }
    if (SystemSettings.SoundHint) {
        if (!notificationSound_)
            notificationSound_ = std::make_unique<TNotificationSound>();
        notificationSound_->Play();
    }
    if (!isVisible() || !isActiveWindow()) {
        UnreadTips = true;
        if (!TimerTrayAnimation->isActive())
            TimerTrayAnimation->start();
    }
}

void TFormMain::QueueBalloon(const TTrayTip& tip)
{
    if (ShownTip)
        WaitingTip = tip;
    else
        ShowBalloon(tip);
}

void TFormMain::ShowBalloon(const TTrayTip& tip)
{
    ShownTip = tip;
    TrayIcon1->showMessage(tip.Title, tip.Body, AppIcon(), BalloonMs);
    TimerTipBalloon->start();
}

void TFormMain::TipBalloonEnded()
{
    TimerTipBalloon->stop();
    ShownTip.reset();
    if (WaitingTip) {
        const TTrayTip next = *WaitingTip;
        WaitingTip.reset();
        ShowBalloon(next);
    }
}

void TFormMain::AnimateTrayIcon()
{
    trayFrame_ = 1 - trayFrame_;
    TrayIcon1->setIcon(QIcon(QStringLiteral(":/images/TrayUnread%1.png").arg(trayFrame_)));
}

void TFormMain::MarkTipsRead()
{
    if (!UnreadTips)
        return;
    UnreadTips = false;
    TimerTrayAnimation->stop();
    trayFrame_ = 0;
    TrayIcon1->setIcon(AppIcon());
}

void TFormMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        MarkTipsRead();
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        placement_->WindowStateChanged();
}

void TFormMain::WMTipClick(const QString& argument)
{
    // The service tab's page; page 0's view until the service tab exists.
    const TBrowserTab* service = FindTab(1);
    const engine::BrowserRef target =
        service && service->Browser ? service->Browser : crm->Browser();
    if (target)
        target->GetMainFrame()->ExecuteJavaScript(
            QString::fromStdString(core::TipClickScript(argument.toStdString())),
            QStringLiteral("about:blank"), 0);
    NShowMainClick();
}
