#pragma once
// The note at the right end of the tab strip while downloads run: "下载中 (N)", and for a
// few seconds after one finished: "下载完成". A click opens the downloads panel. It keeps
// to its parent's right edge. UI thread only.

#include <QTimer>
#include <QToolButton>

class TDownloadIndicator : public QToolButton {
    Q_OBJECT
public:
    // `strip` is the widget it sits on.
    explicit TDownloadIndicator(QWidget* strip);
    // Shows the number of running downloads; hidden at 0.
    void SetRunning(int running);
    // Says for a few seconds that a download finished, whatever else runs.
    void ShowFinished();
    // Where the tabs must end so as not to run under it, while it shows.
    int TabsEnd() const;

signals:
    // It appeared, went or changed its width: the tabs' room changed.
    void RoomChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    void Place();

    int running_ = 0;
    QTimer finished_;
};
