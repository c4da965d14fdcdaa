#include "ui/TabStrip.h"

#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

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

    scrollLeft_ = AddButton(QStringLiteral("TabScrollLeft"), Qt::LeftArrow);
    scrollRight_ = AddButton(QStringLiteral("TabScrollRight"), Qt::RightArrow);
    tabList_ = AddButton(QStringLiteral("TabList"), Qt::DownArrow);
    for (QToolButton* arrow : {scrollLeft_, scrollRight_}) {
        arrow->setAutoRepeat(true);
        const int step = arrow == scrollLeft_ ? -1 : 1;
        connect(arrow, &QToolButton::clicked, this,
                [this, step] { control_->ScrollTabs(step * control_->TabWidth()); });
    }
    auto* list = new QMenu(tabList_);
    list->setObjectName(QStringLiteral("TabListMenu"));
    tabList_->setMenu(list);
    tabList_->setPopupMode(QToolButton::InstantPopup);
    // The menu's own indicator would crowd out the arrow.
    tabList_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    connect(list, &QMenu::aboutToShow, this, &TTabStrip::FillTabList);
}

QToolButton* TTabStrip::AddButton(const QString& name, Qt::ArrowType arrow)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->hide();
    return button;
}

void TTabStrip::Arrange()
{
    const core::TTabRow& row = control_->TabRow();
    const QSize size(core::ScrollButtonWidth, core::TabHeight - 1);
    scrollLeft_->setGeometry(QRect(QPoint(0, 0), size));
    scrollRight_->setGeometry(QRect(QPoint(row.Right, 0), size));
    tabList_->setGeometry(QRect(QPoint(row.Right + core::ScrollButtonWidth, 0), size));
    for (QToolButton* button : {scrollLeft_, scrollRight_, tabList_})
        button->setVisible(row.Scrolls);
}

void TTabStrip::FillTabList()
{
    QMenu* list = tabList_->menu();
    list->clear();
    const int active = control_->ActivePageIndex();
    for (int i = 0; i < control_->PageCount(); ++i) {
        const TSkinTabSheet* page = control_->Page(i);
        if (!page->TabVisible())
            continue;
        // A caption is text, never a shortcut marker.
        QString caption = page->Caption();
        QAction* action = list->addAction(caption.replace(u'&', QLatin1String("&&")));
        if (control_->TabIcon)
            action->setIcon(control_->TabIcon(i));
        action->setCheckable(i == active);
        action->setChecked(i == active);
        connect(action, &QAction::triggered, this, [this, i] { control_->ChooseTab(i); });
    }
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

    const core::TTabRow& row = control_->TabRow();
    if (row.Scrolls)
        painter.setClipRect(QRect(row.Left, 0, row.Right - row.Left, height()));
    const QRect shown = row.Scrolls ? event->rect().intersected(painter.clipBoundingRect().toRect())
                                    : event->rect();
    const int active = control_->ActivePageIndex();
    const int hover = HoverAt(pointer_);
    // The slots counted on the way: asking each tab for its own rectangle would count
    // the tabs before it again, for every tab of every paint.
    int slot = 0;
    for (int i = 0; i < control_->PageCount(); ++i) {
        if (!control_->Page(i)->TabVisible())
            continue;
        const QRect tab = control_->SlotRect(slot++);
        if (tab.isEmpty() || !shown.intersects(tab))
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
        painter.setClipRect(tab, Qt::IntersectClip);
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

void TTabStrip::wheelEvent(QWheelEvent* event)
{
    // One tab per notch of 120; a touchpad's smaller steps scroll in proportion.
    const QPoint delta = event->angleDelta();
    const int steps = delta.y() != 0 ? -delta.y() : delta.x();
    control_->ScrollTabs(steps * control_->TabWidth() / 120);
    event->accept();
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
