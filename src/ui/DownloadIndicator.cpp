#include "ui/DownloadIndicator.h"

#include <QEvent>

namespace {

constexpr int Margin = 4;

} // namespace

TDownloadIndicator::TDownloadIndicator(QWidget* strip) : QToolButton(strip)
{
    setObjectName(QStringLiteral("DownloadIndicator"));
    setAutoRaise(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("打开下载列表"));
    setStyleSheet(QStringLiteral("QToolButton { background: #1A7F5A; color: white;"
                                 " border-radius: 4px; padding: 1px 8px; }"));
    strip->installEventFilter(this);
    hide();
}

void TDownloadIndicator::SetRunning(int running)
{
    const bool wasHidden = isHidden();
    const int tabsEnd = TabsEnd();
    if (running <= 0) {
        hide();
    } else {
        setText(QStringLiteral("下载中 (%1)").arg(running));
        Place();
        show();
        raise();
    }
    if (isHidden() != wasHidden || (!isHidden() && TabsEnd() != tabsEnd))
        emit RoomChanged();
}

int TDownloadIndicator::TabsEnd() const
{
    return x() - Margin;
}

bool TDownloadIndicator::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize && !isHidden()) {
        Place();
        emit RoomChanged();
    }
    return QToolButton::eventFilter(watched, event);
}

void TDownloadIndicator::Place()
{
    adjustSize();
    const QWidget* strip = parentWidget();
    move(strip->width() - width() - Margin, (strip->height() - height()) / 2);
}
