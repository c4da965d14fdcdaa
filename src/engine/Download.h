#pragma once
// TDownload: one file the engine downloads for a page. The engine writes it into a part
// file from the first byte on, whatever the user is still being asked; the file moves to
// its place once both the transfer and the choice of the place are done. A failed one can
// be tried again, and so can one cancelled after it got its place. Owned by its TDownloadList
// (DownloadList.h), which follows it through its signals. UI thread only.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEngineDownloadRequest>

#include "core/TransferFigures.h"
#include "engine/PartFileMove.h"

class QWebEnginePage;

namespace engine {

class TDownload : public QObject {
    Q_OBJECT
public:
    // Asking: no place yet (the save dialog may be open); the transfer runs meanwhile.
    // Moving: transferred, on its way from the part file to its place.
    enum class TState { Asking, Running, Moving, Done, Failed, Cancelled };
    enum class TFailure { None, DiskFull, AccessDenied, FolderMissing, FileError, Network, Server };

    // Accepts the engine's transfer into `partPath` at once.
    TDownload(QWebEngineDownloadRequest* request, const QString& partPath, QObject* parent);

    QUrl Url() const { return url_; }
    // The place's file name; until there is a place, the name the server suggested.
    QString FileName() const;
    // The chosen place; once Done, where the file is (a free "name (n)" when the place
    // was taken by a file the user did not agree to replace).
    QString TargetPath() const { return target_; }
    // The part file once transferred; until then the engine writes to PartPath() +
    // ".download".
    QString PartPath() const { return partPath_; }
    qint64 ReceivedBytes() const { return received_; }
    // -1 when the server did not say.
    qint64 TotalBytes() const { return total_; }
    double BytesPerSecond() const { return rate_.BytesPerSecond(); }
    TState State() const;
    TFailure Failure() const { return failure_; }
    // The page it came from; null once that went.
    QWebEnginePage* Page() const;

    // The file goes to `target`; an existing file there is replaced only with `replace`.
    void PlaceAt(const QString& target, bool replace);
    // Ends a download that is not done: the transfer stops and the part file goes. A
    // move under way finishes first.
    void Cancel();
    // Tries a failed or cancelled download again: a failed move is repeated, otherwise
    // the transfer starts over from the page it came from (another page of the profile
    // when that one went).
    void Retry();

    // For the list: true (and taken on) when `request` is the engine's own next try of
    // this download's transfer after a break; a transfer given up on stays ended.
    bool ContinueWith(QWebEngineDownloadRequest* request);
    // For the list: the transfer asked for after TransferWanted, into `partPath`.
    void RestartWith(QWebEngineDownloadRequest* request, const QString& partPath);
    // For the list: reads the figures of a running transfer; `ms` of a steady clock.
    void Sample(qint64 ms);
    // For the list, which is going: ends it like Cancel, also a move under way, and
    // without a signal.
    void Discard();

signals:
    // The state changed, or the figures (a few times a second while it runs).
    void Changed();
    // It got its place (Changed follows).
    void Placed();
    // The file is in its place.
    void Finished();
    // Cancel() ended it (Changed came first): its list lets it go when it had no place.
    void Cancelled();
    // Retry() starts the transfer over: the page (or another of the profile) is to
    // download Url() again, and RestartWith takes it.
    void TransferWanted();

private:
    // Takes over the engine's transfer (the first one, the engine's own next try, or a
    // retry) into the part file.
    void Bind(QWebEngineDownloadRequest* request, const QString& partPath);
    void TransferEnded(QWebEngineDownloadRequest::DownloadState state);
    // The engine tried no more after the transfer broke off.
    void GaveUp();
    void MoveIfReady();
    void Moved(const TMoveResult& result);
    void RemovePartFile();

    QPointer<QWebEngineDownloadRequest> request_;
    // The engine's number of the transfer: its own next try after a break comes as a new
    // request with the same number.
    quint32 engineId_ = 0;
    QPointer<QWebEnginePage> page_;
    QUrl url_;
    QString suggestedName_;
    QString partPath_;
    QString target_;
    bool replace_ = false;
    qint64 received_ = 0;
    qint64 total_ = -1;
    core::TTransferRate rate_;
    bool transferred_ = false;
    bool moving_ = false;
    bool moved_ = false;
    bool cancelled_ = false;
    // The move failed: the whole file is still in the part file.
    bool moveFailed_ = false;
    TFailure failure_ = TFailure::None;
    QTimer giveUp_;
};

} // namespace engine
