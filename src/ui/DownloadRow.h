#pragma once
// One download in the downloads panel: its file name, a progress bar and a line of figures
// (bytes, speed, time left) or of why it failed, and the buttons that fit its state: "取消"
// while it runs, "打开" and "打开所在文件夹" once done, "重试" after a failure or a cancel.
// UI thread only.

#include <QPointer>
#include <QWidget>

#include "engine/Download.h"

class QLabel;
class QProgressBar;
class QPushButton;

class TDownloadRow : public QWidget {
    Q_OBJECT
public:
    TDownloadRow(engine::TDownload* download, QWidget* parent);
    engine::TDownload* Download() const { return download_; }
    // What the row says under the name.
    QString StatusText() const;

    // The reason of a failure, as the user reads it.
    static QString FailureText(engine::TDownload::TFailure failure);

private:
    void Refresh();
    // Hands the file (or its folder) to the desktop; says so when nothing opens it.
    void OpenInDesktop(const QString& path);

    QPointer<engine::TDownload> download_;
    QLabel* name_;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* open_;
    QPushButton* folder_;
    QPushButton* retry_;
    QPushButton* cancel_;
};
