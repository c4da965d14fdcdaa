#pragma once
// TFormDownloads: the downloads panel, one small window listing every download of the
// session, newest on top (rows: DownloadRow.h), finished, failed and cancelled ones
// included. It follows the list as downloads come. Made once by the main window, shown
// and raised on demand; Esc or closing only hides it. UI thread only.

#include <QWidget>

namespace engine {
class TDownload;
class TDownloadList;
} // namespace engine
class QLabel;
class QVBoxLayout;
class TDownloadRow;

class TFormDownloads : public QWidget {
    Q_OBJECT
public:
    TFormDownloads(engine::TDownloadList* downloads, QWidget* parent);
    // Shows the window and brings it to the front.
    void ShowInFront();
    // Newest first.
    QList<TDownloadRow*> Rows() const { return rowList_; }

private:
    void AddRow(engine::TDownload* download);

    QVBoxLayout* rows_;
    QLabel* empty_;
    QList<TDownloadRow*> rowList_;
};
