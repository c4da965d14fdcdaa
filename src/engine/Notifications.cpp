#include "engine/Notifications.h"

#include <QWebEngineNotification>
#include <QWebEnginePage>

namespace engine {
namespace {

NotificationPolicy policy;

} // namespace

void SetNotificationPolicy(NotificationPolicy newPolicy)
{
    policy = std::move(newPolicy);
}

void PresentNotification(std::unique_ptr<QWebEngineNotification> notification)
{
    if (!policy.Present)
        return;
    notification->show();
    // Copied first: the presenter may replace the policy.
    const auto present = policy.Present;
    present({notification->origin(), notification->title(), notification->message(),
             notification->tag()});
}

void AnswerNotificationPermission(QWebEnginePage* page, const QUrl& origin)
{
    const bool allowed = policy.Allowed && policy.Allowed(origin);
    page->setFeaturePermission(origin, QWebEnginePage::Notifications,
                               allowed ? QWebEnginePage::PermissionGrantedByUser
                                       : QWebEnginePage::PermissionDeniedByUser);
}

} // namespace engine
