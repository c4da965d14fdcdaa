#pragma once
// TStripController: what the main window's tab strip shows and what its clicks do. It
// draws each tab's content (loading animation or page icon, fitted caption, close
// button lit while the pointer is on it), sets the tabs' width, and turns clicks into
// close requests: the close button, a double click and a middle click close a tab, never
// the start tab. The loading animation moves with its own timer while any tab loads.
//
// UI thread only. It draws and hit-tests through the control and reads the records of
// the tab book; both must outlive it. Close requests go through `closeTab`, which posts
// them, so a tab never closes inside the strip's own mouse event.

#include <QIcon>
#include <QObject>
#include <QPainter>
#include <QTimer>
#include <functional>

class TPageControl;
class TTabBook;

class TStripController : public QObject {
    Q_OBJECT
public:
    // `reservedEnd`: where the widgets at the strip's end begin; negative when none shows.
    TStripController(TPageControl* control, const TTabBook& tabs,
                     std::function<void(int pageIndex)> closeTab, std::function<int()> reservedEnd,
                     QObject* parent);

    void Draw(int p, QPainter& canvas) const;
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseUp(Qt::MouseButton button, int x, int y);
    // The next press starts a click of its own, not the second half of a double click.
    void ForgetPress() { lastPressTime_ = 0; }
    // Shares the strip's width out among the shown tabs, or lets them scroll.
    void FitTabWidth();
    // Advances the animation of every loading tab, then repaints the strip.
    void AnimateLoading();
    bool Animating() const { return timer_.isActive(); }

private:
    void LoadingChanged();
    // The closable tab whose close button is at (x, y); -1 when none.
    int CloseButtonAt(int x, int y) const;
    // The tab's loading animation frame or page icon.
    QIcon Icon(int p) const;

    TPageControl* control_;
    const TTabBook& tabs_;
    std::function<void(int)> closeTab_;
    std::function<int()> reservedEnd_;
    QTimer timer_;
    // Steady-clock milliseconds and button of the last press not taken as a double click.
    double lastPressTime_ = 0;
    Qt::MouseButton lastPressButton_ = Qt::NoButton;
    // The tab whose close button the last left press was on; -1 when none.
    int pressedClose_ = -1;
};
