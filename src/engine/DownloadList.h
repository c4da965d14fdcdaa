#pragma once
// TDownloadList: the downloads of the profile. A page's download is accepted at once into
// a part file in the list's part directory (TChromium hands it over from the profile's
// dispatcher, DownloadDispatcher.h, where the list's owner sets it), its place is asked
// with the save dialog, one dialog at a time, and the list shows it from then on, also
// once it is cancelled (it can be tried again). Part
// files left behind by a client that ended abruptly are removed when the list is made;
// the list's own go with it. UI thread only.

#include <QList>
#include <QObject>
#include <QPointer>
#include <deque>
#include <memory>

#include "engine/Download.h"

class QFileDialog;
class QTimer;
class QWebEngineDownloadRequest;
class QWidget;

namespace engine {

class TDownloadList : public QObject {
    Q_OBJECT
public:
    // `partDirectory` is the list's own: everything in it is removed now.
    explicit TDownloadList(const QString& partDirectory, QObject* parent = nullptr);
    // Cancels what has not finished and removes its part files.
    ~TDownloadList() override;

    QString PartDirectory() const { return partDirectory_; }
    // The downloads that have a place, oldest first; those cancelled before they had one
    // leave the list.
    QList<TDownload*> Items() const;
    // The downloads under way: transferring or moving, and those whose place is still
    // asked for once their first byte came (the transfer runs while the dialog is open).
    int RunningCount() const;

    // Accepts a page's download into a new part file at once; its place follows
    // (TDownload::PlaceAt, AskPlace), or Cancel() when there is none.
    TDownload* Start(QWebEngineDownloadRequest* request);
    // Asks for the place with the save dialog over `parent`, proposing `proposedPath`.
    // Dialogs wait their turn; a cancelled one cancels the download.
    void AskPlace(TDownload* download, QWidget* parent, const QString& proposedPath);
    // The window the questions were for is going: the open save dialog closes and every
    // download still waiting for its place is cancelled.
    void CancelQuestions();
    // For the profile's download dispatcher: true (and the download is taken on) when it
    // continues one of the list's: the engine trying again after a break, or a
    // TDownload::Retry.
    bool TakeKnown(QWebEngineDownloadRequest* request);

signals:
    // The download got its place and is in Items() from now on.
    void Added(engine::TDownload* download);
    void Changed(engine::TDownload* download);
    // The file is in its place.
    void Finished(engine::TDownload* download);
    // The download was cancelled before it had a place and is deleted soon.
    void Removed(engine::TDownload* download);

private:
    struct TPlaceQuestion {
        QPointer<TDownload> Download;
        QPointer<QWidget> Parent;
        QString ProposedPath;
    };

    QString NewPartPath() const;
    void AskNext();
    void StartSampling();
    // Reads the figures of every transfer under way; false when there is none.
    bool Sample();
    void Remove(TDownload* download);
    // Asks `download`'s page (or a page of the list's own) for the transfer again.
    void Restart(TDownload* download);

    QString partDirectory_;
    QList<TDownload*> downloads_;
    QList<QPointer<TDownload>> retries_;
    std::deque<TPlaceQuestion> questions_;
    QPointer<QFileDialog> dialog_;
    QTimer* sampler_;
    QPointer<QWebEnginePage> retryPage_;
};

} // namespace engine
