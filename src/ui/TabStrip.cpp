#include "ui/TabStrip.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "core/TabGeometry.h"
#include "ui/PageControl.h"
#include "ui/PlainToolTip.h"

namespace {

const QColor StripColor(0xEE, 0xF0, 0xF3);
const QColor ActiveColor(Qt::white);
const QColor HoverColor(0xF7, 0xF8, 0xFA);
const QColor DividerColor(0xD5, 0xD9, 0xDE);
const QColor AccentColor(0x1A, 0x7F, 0x5A);
const QColor ActiveText(0x1F, 0x23, 0x28);
const QColor InactiveText(0x4B, 0x55, 0x63);

} // namespace

TTabStrip::TTabStrip(TPageControl* control) : QWidget(control), control_(control)
{
    setMouseTracking(true);
    setFixedHeight(core::TabHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont tabFont(QStringLiteral("Arial"));
    tabFont.setPixelSize(12);
    setFont(tabFont);
}

QSize TTabStrip::sizeHint() const
{
    return QSize(control_->TabWidth(), core::TabHeight);
}

void TTabStrip::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(rect(), StripColor);
    painter.setPen(DividerColor);
    painter.drawLine(0, height() - 1, width(), height() - 1);

    const int active = control_->ActivePageIndex();
    const int hover = HoverAt(pointer_);
    // The slots counted on the way: asking each tab for its own rectangle would count
    // the tabs before it again, for every tab of every paint.
    int slot = 0;
    for (int i = 0; i < control_->PageCount(); ++i) {
        if (!control_->Page(i)->TabVisible())
            continue;
        const QRect tab = control_->SlotRect(slot++);
        if (tab.isEmpty() || !event->rect().intersects(tab))
            continue;
        const bool isActive = i == active;
        const bool isHover = i == hover;
        if (isActive) {
            painter.fillRect(tab, ActiveColor);
            painter.fillRect(QRect(tab.left(), 0, tab.width(), 2), AccentColor);
        } else {
            if (isHover)
                painter.fillRect(tab.adjusted(0, 0, 0, -1), HoverColor);
            painter.setPen(DividerColor);
            painter.drawLine(tab.right(), 7, tab.right(), tab.bottom() - 7);
        }
        painter.save();
        painter.setClipRect(tab);
        painter.translate(tab.topLeft());
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setPen(isActive ? ActiveText : InactiveText);
        painter.setFont(font());
        if (control_->OnDrawSkinTab)
            control_->OnDrawSkinTab(i, QRect(QPoint(0, 0), tab.size()), painter, isActive, isHover);
        painter.restore();
    }
}

void TTabStrip::mousePressEvent(QMouseEvent* event)
{
    control_->StripPressed(event->button(), event->position().toPoint());
}

void TTabStrip::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The owner tells double clicks apart by the time between presses.
    control_->StripPressed(event->button(), event->position().toPoint());
}

void TTabStrip::mouseMoveEvent(QMouseEvent* event)
{
    MovePointer(event->position().toPoint());
}

void TTabStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (control_->OnMouseUp) {
        const QPoint pos = event->position().toPoint();
        control_->OnMouseUp(event->button(), pos.x(), pos.y());
    }
}

void TTabStrip::leaveEvent(QEvent* event)
{
    MovePointer(std::nullopt);
    QWidget::leaveEvent(event);
}

bool TTabStrip::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = control_->PageAtX(help->pos().x());
        if (index >= 0 && !control_->Page(index)->Caption().isEmpty())
            QToolTip::showText(help->globalPos(), PlainToolTip(control_->Page(index)->Caption()),
                               this, control_->TabRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

int TTabStrip::HoverAt(const std::optional<QPoint>& pointer) const
{
    return pointer && pointer->y() < core::TabHeight ? control_->PageAtX(pointer->x()) : -1;
}

int TTabStrip::HotCloseAt(const std::optional<QPoint>& pointer) const
{
    const int page = HoverAt(pointer);
    return page >= 0 && core::PtInRect(control_->CloseRect(page), pointer->x(), pointer->y()) ? page
                                                                                              : -1;
}

void TTabStrip::MovePointer(const std::optional<QPoint>& pointer)
{
    const bool changed =
        HoverAt(pointer) != HoverAt(pointer_) || HotCloseAt(pointer) != HotCloseAt(pointer_);
    pointer_ = pointer;
    // One repaint, whatever changed its look.
    if (changed)
        update();
}
