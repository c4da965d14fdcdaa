#pragma once
// The browsing keys and mouse habits of one window, acting on the view the window names
// current: Ctrl+F (and F3 / Shift+F3) find in page, Ctrl+P print, Ctrl+plus / Ctrl+minus
// / Ctrl+0 zoom, Alt+Left / Alt+Right back and forward; over the window's views,
// Ctrl+wheel zooms. (The mouse's back and forward buttons are the engine's own.)
// A window gets all of it with one object:
//     new TBrowsingCommands(this, [this] { return currentView; });
// and sends its pages' window.print() to Print(). UI thread only.

#include <QKeySequence>
#include <QObject>
#include <functional>

#include "ui/PrintFlow.h"

class QWebEngineView;
class QWidget;

class TBrowsingCommands : public QObject {
    Q_OBJECT
public:
    using ViewFinder = std::function<QWebEngineView*()>;

    // `currentView` may return null (nothing to act on).
    TBrowsingCommands(QWidget* window, ViewFinder currentView);
    ~TBrowsingCommands() override;

    // Prints the view's page (Ctrl+P, or the page's own window.print()).
    void Print(QWebEngineView* view);
    TPrintFlow& Printing() { return print_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddKey(const QKeySequence& keys, std::function<void(QWebEngineView*)> command);
    // The view of this window a wheel event went to, or null.
    QWebEngineView* ViewUnder(QObject* receiver) const;

    QWidget* window_;
    ViewFinder currentView_;
    TPrintFlow print_;
    // Ctrl+wheel turns not yet taken as a zoom step (a touchpad sends many small ones).
    int wheelRest_ = 0;
};
