#include "ui/PageControl.h"

#include <QEvent>
#include <QFontMetrics>
#include <QVBoxLayout>

#include "core/TabGeometry.h"
#include "ui/TabStrip.h"

TSkinTabSheet::TSkinTabSheet(TPageControl* control) : QWidget(nullptr), control_(control) {}

void TSkinTabSheet::SetCaption(const QString& caption)
{
    const QString shown = caption.isEmpty() && tabVisible_ ? control_->EmptyCaption : caption;
    if (caption_ == shown)
        return;
    caption_ = shown;
    Refit();
    control_->UpdateStrip();
    control_->ReportActiveCaption();
}

void TSkinTabSheet::SetTabVisible(bool visible)
{
    if (tabVisible_ == visible)
        return;
    tabVisible_ = visible;
    if (visible && caption_.isEmpty())
        SetCaption(caption_);
    control_->UpdateStrip();
    control_->ReportActiveCaption();
}

void TSkinTabSheet::Refit()
{
    const QFontMetrics metrics(control_->strip_->font());
    fitted_ = QString::fromStdU16String(core::FitCaption(
        caption_.toStdU16String(), control_->TabWidth(), [&metrics](std::u16string_view text) {
            return metrics.horizontalAdvance(
                QString::fromUtf16(text.data(), qsizetype(text.size())));
        }));
}

int TSkinTabSheet::PageIndex() const
{
    return control_->stack_->indexOf(const_cast<TSkinTabSheet*>(this));
}

TPageControl::TPageControl(QWidget* parent)
    : QWidget(parent), strip_(new TTabStrip(this)), stack_(new QStackedWidget(this)),
      tabWidth_(core::DefaultTabWidth)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip_);
    layout->addWidget(stack_, 1);
    stack_->installEventFilter(this);
}

bool TPageControl::eventFilter(QObject* watched, QEvent* event)
{
    // The stack sizes only its current page, but a popup's window is made in a hidden
    // page at that page's size: every page keeps the size of the page area.
    if (watched == stack_ && event->type() == QEvent::Resize)
        for (int i = 0; i < PageCount(); ++i)
            Page(i)->setGeometry(stack_->contentsRect());
    return QWidget::eventFilter(watched, event);
}

TSkinTabSheet* TPageControl::Page(int index) const
{
    return qobject_cast<TSkinTabSheet*>(stack_->widget(index));
}

TSkinTabSheet* TPageControl::AddPage()
{
    auto* page = new TSkinTabSheet(this);
    stack_->addWidget(page);
    page->setGeometry(stack_->contentsRect());
    UpdateStrip();
    return page;
}

void TPageControl::DeletePage(int index)
{
    TSkinTabSheet* page = Page(index);
    if (!page)
        return;
    stack_->removeWidget(page);
    page->hide();
    page->deleteLater();
    UpdateStrip();
    ReportActiveCaption();
}

void TPageControl::MovePage(int from, int to)
{
    TSkinTabSheet* page = Page(from);
    TSkinTabSheet* active = ActivePage();
    if (!page || to < 0 || to >= PageCount() || from == to)
        return;
    stack_->removeWidget(page);
    stack_->insertWidget(to, page);
    stack_->setCurrentWidget(active);
    UpdateStrip();
}

void TPageControl::SetActivePageIndex(int index)
{
    if (index < 0 || index >= PageCount())
        return;
    stack_->setCurrentIndex(index);
    KeepActiveInView();
    UpdateStrip();
    ReportActiveCaption();
}

void TPageControl::ReportActiveCaption()
{
    const TSkinTabSheet* page = ActivePage();
    // Page 0 and a page still being made have no tab to read.
    if (!page || !page->TabVisible() || page->Caption() == reportedCaption_)
        return;
    reportedCaption_ = page->Caption();
    emit ActiveCaptionChanged(reportedCaption_);
}

void TPageControl::SetTabRoom(int room)
{
    const int visible = VisibleTabs();
    const int width = core::ComputeTabWidth(room, visible);
    row_ = core::ComputeTabRow(room, visible, width);
    if (tabWidth_ != width) {
        tabWidth_ = width;
        for (int i = 0; i < PageCount(); ++i)
            Page(i)->Refit();
    }
    KeepActiveInView();
    strip_->Arrange();
    UpdateStrip();
}

void TPageControl::ScrollTabs(int pixels)
{
    const int scroll =
        core::ClampScroll(scroll_ + pixels, VisibleTabs(), tabWidth_, row_.Right - row_.Left);
    if (scroll == scroll_)
        return;
    scroll_ = scroll;
    UpdateStrip();
}

void TPageControl::ChooseTab(int index)
{
    if (index == ActivePageIndex() || !Page(index) || !Page(index)->TabVisible())
        return;
    SetActivePageIndex(index);
    if (OnChange)
        OnChange();
}

int TPageControl::VisibleTabs() const
{
    int visible = 0;
    for (int i = 0; i < PageCount(); ++i)
        if (Page(i)->TabVisible())
            ++visible;
    return visible;
}

void TPageControl::KeepActiveInView()
{
    scroll_ = row_.Scrolls ? core::ClampScroll(scroll_, VisibleTabs(), tabWidth_,
                                               row_.Right - row_.Left, SlotOf(ActivePageIndex()))
                           : 0;
}

int TPageControl::SlotOf(int pageIndex) const
{
    TSkinTabSheet* page = Page(pageIndex);
    if (!page || !page->TabVisible())
        return -1;
    int slot = 0;
    for (int i = 0; i < pageIndex; ++i)
        if (Page(i)->TabVisible())
            ++slot;
    return slot;
}

QRect TPageControl::TabRect(int pageIndex) const
{
    const int slot = SlotOf(pageIndex);
    return slot < 0 ? QRect() : SlotRect(slot);
}

QRect TPageControl::SlotRect(int slot) const
{
    const core::TRect r = core::TabRect(slot, tabWidth_);
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1))
        .translated(RowOffset(), 0);
}

int TPageControl::CaptionTop() const
{
    return core::CaptionTop(QFontMetrics(strip_->font()).height());
}

core::TRect TPageControl::CloseRect(int pageIndex) const
{
    const int slot = SlotOf(pageIndex);
    if (slot < 0)
        return {};
    const core::TRect r = core::CloseButtonRect(slot, tabWidth_, CaptionTop());
    return {r.Left + RowOffset(), r.Top, r.Right + RowOffset(), r.Bottom};
}

std::optional<QPoint> TPageControl::Pointer() const
{
    return strip_->Pointer();
}

int TPageControl::PageAtX(int x) const
{
    if (x < row_.Left || (row_.Scrolls && x >= row_.Right) || tabWidth_ <= 0)
        return -1;
    x -= RowOffset();
    int slot = 0;
    for (int i = 0; i < PageCount(); ++i) {
        if (!Page(i)->TabVisible())
            continue;
        if (x < (slot + 1) * tabWidth_)
            return i;
        ++slot;
    }
    return -1;
}

QWidget* TPageControl::Strip() const
{
    return strip_;
}

void TPageControl::RepaintStrip()
{
    strip_->repaint();
}

void TPageControl::UpdateStrip()
{
    strip_->update();
}

void TPageControl::StripPressed(Qt::MouseButton button, const QPoint& pos)
{
    if (button == Qt::LeftButton && pos.y() < core::TabHeight) {
        const int index = PageAtX(pos.x());
        const bool onClose = index >= 0 && Closable && Closable(index) &&
                             core::PtInRect(CloseRect(index), pos.x(), pos.y());
        if (index >= 0 && !onClose)
            ChooseTab(index);
    }
    if (OnMouseDown)
        OnMouseDown(button, pos.x(), pos.y());
}
