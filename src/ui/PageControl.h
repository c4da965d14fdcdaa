#pragma once
// TPageControl: pages with a caption, an integer tag and a tab that can be shown or
// hidden, one of them active, and a strip of equal-width tabs along the top (geometry in
// core/TabGeometry.h). The strip paints each visible tab's background in its state and
// leaves the content to OnDrawSkinTab, which draws and decides nothing else; presses and
// releases go to the OnMouse* handlers in strip coordinates, the pointer's hover is the
// strip's own. Tabs that do not fit scroll (arrows, the wheel, a list of all tabs), and
// the active tab is scrolled into view whenever it or the layout changes. UI thread only.

#include <QIcon>
#include <QPainter>
#include <QStackedWidget>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/TabGeometry.h"

class TPageControl;

class TSkinTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TSkinTabSheet(TPageControl* control);

    QString Caption() const { return caption_; }
    // A shown tab never has an empty caption: it reads the control's EmptyCaption.
    void SetCaption(const QString& caption);
    // The caption cut to fit the tab, kept in step with the caption and the tab width.
    QString FittedCaption() const { return fitted_; }
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool visible);
    int PageIndex() const;
    int Tag = 0;

private:
    friend class TPageControl;
    void Refit();

    TPageControl* control_;
    QString caption_;
    QString fitted_;
    bool tabVisible_ = true;
};

class TTabStrip;

class TPageControl : public QWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    // What a shown tab with an empty caption reads.
    QString EmptyCaption;

    int PageCount() const { return stack_->count(); }
    TSkinTabSheet* Page(int index) const;
    // Appends a new page owned by the control.
    TSkinTabSheet* AddPage();
    // Removes the page at once; it is destroyed, with everything inside it, once the
    // current event and any nested loop in it have returned (a page's browser may be
    // waiting on the stack for a dialog).
    void DeletePage(int index);
    // Moves a page to another index; the active page stays active.
    void MovePage(int from, int to);

    int ActivePageIndex() const { return stack_->currentIndex(); }
    TSkinTabSheet* ActivePage() const { return Page(ActivePageIndex()); }
    // Selecting a page from code raises no OnChange; a click on a tab does.
    void SetActivePageIndex(int index);

    int TabWidth() const { return tabWidth_; }
    // Lays the tabs out in the first `room` pixels of the strip.
    void SetTabRoom(int room);
    const core::TTabRow& TabRow() const { return row_; }
    // Scrolls the tabs by `pixels` (positive: towards the last tab), within their row.
    void ScrollTabs(int pixels);
    // Selects a page as a click on its tab does, raising OnChange.
    void ChooseTab(int index);
    // Page index of the visible tab at x in strip coordinates, or -1.
    int PageAtX(int x) const;
    // A page's place among the visible tabs, from 0; -1 when its tab is hidden.
    int SlotOf(int pageIndex) const;
    // Visible tab's rectangle in strip coordinates (empty for a hidden tab).
    QRect TabRect(int pageIndex) const;
    // The rectangle of the visible tab at `slot` (counted from 0 at the left).
    QRect SlotRect(int slot) const;
    // Top of the captions (and of the close buttons) in the strip's font.
    int CaptionTop() const;
    // The close button's hit area of a visible tab in strip coordinates (empty if hidden).
    core::TRect CloseRect(int pageIndex) const;
    // Where the pointer is over the strip; none while it is elsewhere.
    std::optional<QPoint> Pointer() const;

    QWidget* Strip() const;
    // Repaints the strip now (not just schedules it).
    void RepaintStrip();
    void UpdateStrip();

    std::function<void()> OnChange;
    std::function<void(int pageIndex, const QRect& rect, QPainter& canvas, bool active, bool hover)>
        OnDrawSkinTab;
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseDown;
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseUp;
    // Whether a page's tab has a close button: a left press on it closes the tab on
    // release and does not select it first.
    std::function<bool(int pageIndex)> Closable;
    // A page's icon in the list of all tabs.
    std::function<QIcon(int pageIndex)> TabIcon;

signals:
    // The active tab's caption, each time it reads differently: another tab became
    // active, or the active tab's caption changed.
    void ActiveCaptionChanged(const QString& caption);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TTabStrip;
    friend class TSkinTabSheet;
    void StripPressed(Qt::MouseButton button, const QPoint& pos);
    void ReportActiveCaption();
    int VisibleTabs() const;
    // Scrolls the active tab into view, and no further than the last tab.
    void KeepActiveInView();
    // From row coordinates of the tabs to strip coordinates.
    int RowOffset() const { return row_.Left - scroll_; }

    TTabStrip* strip_;
    QStackedWidget* stack_;
    int tabWidth_;
    core::TTabRow row_;
    int scroll_ = 0;
    QString reportedCaption_;
};
