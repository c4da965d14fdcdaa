#pragma once
// TDownloadsPanel: the main window's downloads. Its list takes every download of the
// profile into a part file under AppDir + "cache/downloads/" (what an earlier run left
// there is removed at start); the strip's indicator shows while any runs and briefly
// when one finished, and, like the tray entry "下载", opens the panel that lists them.
// The panel is made once and only hidden when closed, so its list lasts the run.
//
// UI thread only. Owned by the window (its QObject parent), which it outlives by nothing:
// the list, the indicator (on the strip) and the panel (a child window) go with it.

#include <QObject>
#include <QPointer>

namespace engine {
class TDownloadList;
}
class TDownloadIndicator;
class TFormDownloads;

class TDownloadsPanel : public QObject {
    Q_OBJECT
public:
    TDownloadsPanel(QWidget* window, QWidget* strip);

    engine::TDownloadList* List() const { return list_; }
    TDownloadIndicator* Indicator() const;
    // The panel; null until it is first shown.
    TFormDownloads* Panel() const;
    // Where the tabs end to leave the indicator its room; negative while it is hidden.
    int TabsEnd() const;
    void Show();

signals:
    // The indicator grew or shrank: the tabs' room changes.
    void IndicatorRoomChanged();

private:
    QWidget* window_;
    engine::TDownloadList* list_;
    QPointer<TDownloadIndicator> indicator_;
    QPointer<TFormDownloads> panel_;
};
