#pragma once
// The short note "125%" over the top of a view after its zoom changed; it hides by
// itself. UI thread only.

#include <QLabel>
#include <QTimer>

class TZoomOverlay : public QLabel {
    Q_OBJECT
public:
    // Shows (or refreshes) the view's note; the view owns it.
    static void ShowOn(QWidget* view, int percent);
    // Milliseconds the note stays.
    static constexpr int ShownMs = 1500;

private:
    explicit TZoomOverlay(QWidget* view);
    void Place();

    QTimer hideTimer_;
};
