#include "ui/ZoomOverlay.h"

TZoomOverlay::TZoomOverlay(QWidget* view) : QLabel(view)
{
    setObjectName(QStringLiteral("ZoomOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAlignment(Qt::AlignCenter);
    setStyleSheet(QStringLiteral("QLabel { background: rgba(40, 40, 40, 210); color: white;"
                                 " border-radius: 6px; padding: 6px 16px; font-size: 15px; }"));
    hideTimer_.setSingleShot(true);
    hideTimer_.setInterval(ShownMs);
    connect(&hideTimer_, &QTimer::timeout, this, &QWidget::hide);
}

void TZoomOverlay::ShowOn(QWidget* view, int percent)
{
    auto* overlay = view->findChild<TZoomOverlay*>(QString(), Qt::FindDirectChildrenOnly);
    if (!overlay)
        overlay = new TZoomOverlay(view);
    overlay->setText(QStringLiteral("%1%").arg(percent));
    overlay->Place();
    overlay->show();
    overlay->raise();
    overlay->hideTimer_.start();
}

void TZoomOverlay::Place()
{
    adjustSize();
    const QWidget* view = parentWidget();
    move((view->width() - width()) / 2, 16);
}
