#include "ui/PageControl.h"

#include <QEvent>
#include <QVBoxLayout>

#include "ui/TabStrip.h"

TSkinTabSheet::TSkinTabSheet(TPageControl* control) : QWidget(nullptr), control_(control) {}

void TSkinTabSheet::SetCaption(const QString& caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    control_->UpdateStrip();
}

void TSkinTabSheet::SetTabVisible(bool visible)
{
    if (tabVisible_ == visible)
        return;
    tabVisible_ = visible;
    control_->UpdateStrip();
}

int TSkinTabSheet::PageIndex() const
{
    return control_->stack_->indexOf(const_cast<TSkinTabSheet*>(this));
}

TPageControl::TPageControl(QWidget* parent)
    : QWidget(parent), strip_(new TTabStrip(this)), stack_(new QStackedWidget(this))
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
}

void TPageControl::SetActivePageIndex(int index)
{
    if (index < 0 || index >= PageCount())
        return;
    stack_->setCurrentIndex(index);
    UpdateStrip();
}

void TPageControl::SetTabWidth(int width)
{
    if (tabWidth_ == width)
        return;
    tabWidth_ = width;
    UpdateStrip();
}

QRect TPageControl::TabRect(int pageIndex) const
{
    TSkinTabSheet* page = Page(pageIndex);
    if (!page || !page->TabVisible())
        return {};
    int slot = 0;
    for (int i = 0; i < pageIndex; ++i)
        if (Page(i)->TabVisible())
            ++slot;
    return QRect(slot * tabWidth_, 0, tabWidth_, TabHeight);
}

int TPageControl::PageAtX(int x) const
{
    if (x < 0 || tabWidth_ <= 0)
        return -1;
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
    if (button == Qt::LeftButton && pos.y() < TabHeight) {
        const int index = PageAtX(pos.x());
        if (index >= 0 && index != ActivePageIndex()) {
            SetActivePageIndex(index);
            if (OnChange)
                OnChange();
        }
    }
    if (OnMouseDown)
        OnMouseDown(button, pos.x(), pos.y());
}
