#include "ui/DownloadIndicator.h"

#include <QEvent>

namespace {

constexpr int Margin = 4;
// Long enough to be seen from the page one is reading.
constexpr int FinishedShownMs = 4000;

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
    finished_.setSingleShot(true);
    finished_.setInterval(FinishedShownMs);
    connect(&finished_, &QTimer::timeout, this, &TDownloadIndicator::Refresh);
    hide();
}

void TDownloadIndicator::SetRunning(int running)
{
    running_ = running;
    Refresh();
}

void TDownloadIndicator::ShowFinished()
{
    finished_.start();
    Refresh();
}

void TDownloadIndicator::Refresh()
{
    const bool wasHidden = isHidden();
    const int tabsEnd = TabsEnd();
    if (finished_.isActive() || running_ > 0) {
        setText(finished_.isActive() ? QStringLiteral("下载完成")
                                     : QStringLiteral("下载中 (%1)").arg(running_));
        Place();
        show();
        raise();
    } else {
        hide();
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
