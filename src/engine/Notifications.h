#pragma once
// Web notifications ("new Notification(...)") of every page of the profile: which
// origins may show them, and who presents them. UI thread only.

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QWebEngineNotification;
class QWebEnginePage;

namespace engine {

struct Notification {
    QUrl Origin;
    QString Title;
    QString Body;
    QString Tag;
};

struct NotificationPolicy {
    // Asked when a page requests the permission; the answer is given at once, no one
    // else is asked. Unset: every origin is denied.
    std::function<bool(const QUrl& origin)> Allowed;
    // Each notification a permitted page shows. Unset: it is dropped.
    std::function<void(const Notification& notification)> Present;
};

// Replaces the policy. Whoever sets one clears it again before its handlers go away.
void SetNotificationPolicy(NotificationPolicy policy);

// For the layer: the profile's presenter, and the answer to a page's permission request.
void PresentNotification(std::unique_ptr<QWebEngineNotification> notification);
void AnswerNotificationPermission(QWebEnginePage* page, const QUrl& origin);

} // namespace engine
