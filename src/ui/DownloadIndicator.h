#pragma once
// The note at the right end of the tab strip while downloads run: "下载中 (N)". A click
// opens the downloads panel. It keeps to its parent's right edge. UI thread only.

#include <QToolButton>

class TDownloadIndicator : public QToolButton {
    Q_OBJECT
public:
    // `strip` is the widget it sits on.
    explicit TDownloadIndicator(QWidget* strip);
    // Shows the number of running downloads; hidden at 0.
    void SetRunning(int running);
    // Where the tabs must end so as not to run under it, while it shows.
    int TabsEnd() const;

signals:
    // It appeared, went or changed its width: the tabs' room changed.
    void RoomChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();
};
