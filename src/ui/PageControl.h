#pragma once
// TPageControl: pages with a caption, an integer tag and a tab that can be shown or
// hidden, one of them active, and a strip of equal-width tabs along the top. The strip
// paints each visible tab's background in its state and leaves the content to
// OnDrawSkinTab; its mouse events go to the OnMouse* handlers in strip coordinates.
// UI thread only.

#include <QPainter>
#include <QStackedWidget>
#include <QWidget>
#include <functional>

class TPageControl;

class TSkinTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TSkinTabSheet(TPageControl* control);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool visible);
    int PageIndex() const;
    int Tag = 0;

private:
    TPageControl* control_;
    QString caption_;
    bool tabVisible_ = true;
};

class TTabStrip;

class TPageControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int TabHeight = 29;

    explicit TPageControl(QWidget* parent = nullptr);

    int PageCount() const { return stack_->count(); }
    TSkinTabSheet* Page(int index) const;
    // Appends a new page owned by the control.
    TSkinTabSheet* AddPage();
    // Removes the page at once; it is destroyed, with everything inside it, once the
    // current event and any nested loop in it have returned (a page's browser may be
    // waiting on the stack for a dialog).
    void DeletePage(int index);

    int ActivePageIndex() const { return stack_->currentIndex(); }
    TSkinTabSheet* ActivePage() const { return Page(ActivePageIndex()); }
    // Selecting a page from code raises no OnChange; a click on a tab does.
    void SetActivePageIndex(int index);

    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width);
    // Page index of the visible tab at x in strip coordinates, or -1.
    int PageAtX(int x) const;
    // Visible tab's rectangle in strip coordinates (empty for a hidden tab).
    QRect TabRect(int pageIndex) const;

    QWidget* Strip() const;
    // Repaints the strip now (not just schedules it).
    void RepaintStrip();
    void UpdateStrip();

    std::function<void()> OnChange;
    std::function<void(int pageIndex, const QRect& rect, QPainter& canvas, bool active, bool hover)>
        OnDrawSkinTab;
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseDown;
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseUp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TTabStrip;
    friend class TSkinTabSheet;
    void StripPressed(Qt::MouseButton button, const QPoint& pos);

    TTabStrip* strip_;
    QStackedWidget* stack_;
    int tabWidth_ = 178;
};
