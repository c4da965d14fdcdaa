#include "ui/TrayNotifier.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <QWidget>

#include "engine/Notifications.h"
#include "shared/Global.h"
#include "ui/NotificationSound.h"

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

TTrayNotifier::TTrayNotifier(QSystemTrayIcon* tray, const QWidget* window,
                             std::function<void()> openDownloads,
                             std::function<void(const QString& argument)> tipClicked)
    : tray_(tray), window_(window), openDownloads_(std::move(openDownloads)),
      tipClicked_(std::move(tipClicked))
{
    balloonTimer_.setSingleShot(true);
    balloonTimer_.setInterval(BalloonMs);
    connect(&balloonTimer_, &QTimer::timeout, this, &TTrayNotifier::BalloonEnded);
    animation_.setInterval(TrayFrameMs);
    connect(&animation_, &QTimer::timeout, this, &TTrayNotifier::AnimateIcon);
    connect(tray_, &QSystemTrayIcon::messageClicked, this, [this] {
        if (shown_ && shown_->OpensDownloads)
            openDownloads_();
        else if (shown_)
            tipClicked_(shown_->Argument);
        BalloonEnded();
    });
    engine::SetNotificationPolicy(
        {&IsServiceOrigin,
         [this](const engine::Notification& notification) { Notify(notification); }});
}

TTrayNotifier::~TTrayNotifier()
{
    engine::SetNotificationPolicy({});
}

void TTrayNotifier::Notify(const engine::Notification& notification)
{
    if (SystemSettings.PopupHint) {
        Queue({notification.Title, notification.Body,
               notification.Tag.isEmpty() ? notification.Body : notification.Tag});
    }
    if (SystemSettings.SoundHint) {
        if (!sound_)
            sound_ = std::make_unique<TNotificationSound>();
        sound_->Play();
    }
    if ((!window_->isVisible() || !window_->isActiveWindow()) && !animation_.isActive())
        animation_.start();
}

void TTrayNotifier::DownloadFinished(const QString& fileName)
{
    if (!SystemSettings.PopupHint || (window_->isVisible() && !window_->isMinimized()))
        return;
    TTrayTip tip{QStringLiteral("下载完成"), fileName, QString()};
    tip.OpensDownloads = true;
    Queue(tip);
}

void TTrayNotifier::Queue(const TTrayTip& tip)
{
    if (shown_)
        waiting_ = tip;
    else
        ShowBalloon(tip);
}

void TTrayNotifier::ShowBalloon(const TTrayTip& tip)
{
    shown_ = tip;
    tray_->showMessage(tip.Title, tip.Body, AppIcon(), BalloonMs);
    balloonTimer_.start();
}

void TTrayNotifier::BalloonEnded()
{
    balloonTimer_.stop();
    shown_.reset();
    if (waiting_) {
        const TTrayTip next = *waiting_;
        waiting_.reset();
        ShowBalloon(next);
    }
}

void TTrayNotifier::AnimateIcon()
{
    frame_ = 1 - frame_;
    tray_->setIcon(QIcon(QStringLiteral(":/images/TrayUnread%1.png").arg(frame_)));
}

void TTrayNotifier::MarkRead()
{
    if (!animation_.isActive())
        return;
    animation_.stop();
    frame_ = 0;
    tray_->setIcon(AppIcon());
}
