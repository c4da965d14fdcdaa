#include "ui/PopupRefusal.h"

#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include "core/PopupBounds.h"

void RefuseScriptPopups(QWebEnginePage* page)
{
    if (!page)
        return;
    const QString name = QStringLiteral("PopupRefusal");
    auto* timer = page->findChild<QTimer*>(name, Qt::FindDirectChildrenOnly);
    if (!timer) {
        timer = new QTimer(page);
        timer->setObjectName(name);
        timer->setSingleShot(true);
        timer->setInterval(int(core::TPopupBounds::WindowMs));
        QObject::connect(timer, &QTimer::timeout, page, [page, timer] {
            page->settings()->resetAttribute(QWebEngineSettings::JavascriptCanOpenWindows);
            timer->deleteLater();
        });
        page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    }
    timer->start();
}
