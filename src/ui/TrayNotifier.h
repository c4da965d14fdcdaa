#pragma once
// TTrayNotifier: what the tray tells the user. Web notifications of the service's own
// pages (the only origins allowed to notify) show on the tray's balloon with a short
// sound, and make the tray icon blink while the window is not in front; a download that
// finishes out of sight shows there too. One balloon at a time: while one is up, only the
// latest tip waits for it.
//
// UI thread only. The window owns the notifier; the window and its tray icon outlive it.
// The notifier holds the profile's notification policy from its creation to its end.

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace engine {
struct Notification;
}
class QSystemTrayIcon;
class QWidget;
class TNotificationSound;

class TTrayNotifier : public QObject {
    Q_OBJECT
public:
    struct TTrayTip {
        QString Title;
        QString Body;
        QString Argument; // handed to tipClicked when the balloon is clicked
        // A finished download's balloon: a click opens the downloads panel instead.
        bool OpensDownloads = false;
    };

    // `window` is in front or not; a balloon click calls `openDownloads` for a finished
    // download and `tipClicked` with the tip's argument for a notification.
    TTrayNotifier(QSystemTrayIcon* tray, const QWidget* window, std::function<void()> openDownloads,
                  std::function<void(const QString& argument)> tipClicked);
    ~TTrayNotifier() override;

    // A download named `fileName` has finished: a balloon says so unless the window is
    // shown or PopupHint is off.
    void DownloadFinished(const QString& fileName);
    // The window is in front again: the tray icon stops blinking.
    void MarkRead();

    // The tip on the balloon now, and the one waiting for it; null when none.
    const TTrayTip* Shown() const { return shown_ ? &*shown_ : nullptr; }
    const TTrayTip* Waiting() const { return waiting_ ? &*waiting_ : nullptr; }
    // Notifications came while the window was not in front: the tray icon blinks.
    bool Unread() const { return animation_.isActive(); }

private:
    void Notify(const engine::Notification& notification);
    void Queue(const TTrayTip& tip);
    void ShowBalloon(const TTrayTip& tip);
    void BalloonEnded();
    void AnimateIcon();

    QSystemTrayIcon* tray_;
    const QWidget* window_;
    std::function<void()> openDownloads_;
    std::function<void(const QString& argument)> tipClicked_;
    std::optional<TTrayTip> shown_;
    std::optional<TTrayTip> waiting_;
    QTimer balloonTimer_;
    QTimer animation_;
    int frame_ = 0;
    std::unique_ptr<TNotificationSound> sound_; // made on the first notification with sound
};
