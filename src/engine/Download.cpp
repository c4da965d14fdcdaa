#include "engine/Download.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>

#include "engine/DownloadList.h"

namespace engine {
namespace {

using Reason = QWebEngineDownloadRequest::DownloadInterruptReason;

// How long a broken-off transfer waits for the engine's next try of its own.
constexpr int GiveUpMs = 3000;
// The engine's reasons beyond Qt's list: the connection ended before the promised size.
constexpr int ContentLengthMismatch = 38;

TDownload::TFailure FailureOf(Reason reason)
{
    switch (reason) {
    case Reason::FileNoSpace:
    case Reason::FileTooLarge:
        return TDownload::TFailure::DiskFull;
    case Reason::FileAccessDenied:
        return TDownload::TFailure::AccessDenied;
    case Reason::NetworkFailed:
    case Reason::NetworkTimeout:
    case Reason::NetworkDisconnected:
    case Reason::NetworkServerDown:
    case Reason::NetworkInvalidRequest:
        return TDownload::TFailure::Network;
    case Reason::ServerFailed:
    case Reason::ServerBadContent:
    case Reason::ServerUnauthorized:
    case Reason::ServerCertProblem:
    case Reason::ServerForbidden:
    case Reason::ServerUnreachable:
        return TDownload::TFailure::Server;
    default:
        break;
    }
    if (int(reason) == ContentLengthMismatch)
        return TDownload::TFailure::Network;
    if (int(reason) >= int(Reason::ServerFailed) && int(reason) < int(Reason::UserCanceled))
        return TDownload::TFailure::Server;
    // The part directory itself may have gone (the cache was wiped under the client).
    return TDownload::TFailure::FileError;
}

TDownload::TFailure FailureOf(TFileProblem problem)
{
    switch (problem) {
    case TFileProblem::DiskFull:
        return TDownload::TFailure::DiskFull;
    case TFileProblem::AccessDenied:
        return TDownload::TFailure::AccessDenied;
    case TFileProblem::FolderMissing:
        return TDownload::TFailure::FolderMissing;
    case TFileProblem::None:
        return TDownload::TFailure::None;
    case TFileProblem::Other:
        break;
    }
    return TDownload::TFailure::FileError;
}

} // namespace

TDownload::TDownload(TDownloadList* list, QWebEngineDownloadRequest* request)
    : QObject(list), list_(list), page_(request->page()), url_(request->url()),
      suggestedName_(request->suggestedFileName())
{
    giveUp_.setSingleShot(true);
    giveUp_.setInterval(GiveUpMs);
    connect(&giveUp_, &QTimer::timeout, this, &TDownload::GaveUp);
    Bind(request, list_->NewPartPath());
}

void TDownload::Bind(QWebEngineDownloadRequest* request, const QString& partPath)
{
    request_ = request;
    engineId_ = request->id();
    partPath_ = partPath;
    received_ = request->receivedBytes();
    total_ = request->totalBytes();
    rate_ = core::TTransferRate();
    transferred_ = false;
    // isFinished() turns true only after the state has changed.
    connect(request, &QWebEngineDownloadRequest::stateChanged, this,
            [this, request](QWebEngineDownloadRequest::DownloadState state) {
                if (request != request_)
                    return;
                if (state == QWebEngineDownloadRequest::DownloadInProgress)
                    giveUp_.stop(); // the engine tries again
                else if (state != QWebEngineDownloadRequest::DownloadRequested)
                    TransferEnded(state);
            });
    // A transfer that breaks off stays "in progress" while the engine tries again by
    // itself; when no new try follows, the engine has given up.
    connect(request, &QWebEngineDownloadRequest::interruptReasonChanged, this, [this, request] {
        if (request == request_ && !request->isFinished() &&
            request->interruptReason() != Reason::NoReason)
            giveUp_.start();
    });
    const QFileInfo part(partPath_);
    request->setDownloadDirectory(part.absolutePath());
    request->setDownloadFileName(part.fileName());
    request->accept();
}

QString TDownload::FileName() const
{
    return target_.isEmpty() ? suggestedName_ : QFileInfo(target_).fileName();
}

TDownload::TState TDownload::State() const
{
    if (cancelled_)
        return TState::Cancelled;
    if (target_.isEmpty())
        return TState::Asking;
    if (failure_ != TFailure::None)
        return TState::Failed;
    if (moved_)
        return TState::Done;
    if (moving_)
        return TState::Moving;
    return TState::Running;
}

void TDownload::PlaceAt(const QString& target, bool replace)
{
    if (cancelled_ || !target_.isEmpty() || target.isEmpty())
        return;
    target_ = QFileInfo(target).absoluteFilePath();
    replace_ = replace;
    list_->Report(this, true);
    MoveIfReady();
}

void TDownload::Cancel()
{
    const TState state = State();
    if (state == TState::Done || state == TState::Cancelled || state == TState::Moving)
        return;
    cancelled_ = true;
    if (request_ && !request_->isFinished())
        request_->cancel();
    RemovePartFile();
    list_->Remove(this);
}

void TDownload::Retry()
{
    if (State() != TState::Failed)
        return;
    failure_ = TFailure::None;
    if (moveFailed_) {
        moveFailed_ = false;
        list_->Report(this, false);
        MoveIfReady();
        return;
    }
    received_ = 0;
    transferred_ = false;
    request_ = nullptr;
    list_->Report(this, false);
    list_->Restart(this);
}

void TDownload::GaveUp()
{
    if (cancelled_ || !request_ || request_->isFinished())
        return;
    failure_ = FailureOf(request_->interruptReason());
    // Ours to end now: its state changes no more concern us.
    QWebEngineDownloadRequest* request = request_;
    request_ = nullptr;
    request->cancel();
    RemovePartFile();
    list_->Report(this, false);
}

void TDownload::TransferEnded(QWebEngineDownloadRequest::DownloadState state)
{
    giveUp_.stop();
    if (cancelled_)
        return;
    received_ = request_->receivedBytes();
    switch (state) {
    case QWebEngineDownloadRequest::DownloadCompleted:
        transferred_ = true;
        total_ = received_;
        MoveIfReady();
        return;
    case QWebEngineDownloadRequest::DownloadCancelled:
        // Not by us: the engine gave up the transfer (it is shutting down, say).
        failure_ = TFailure::Network;
        break;
    default:
        failure_ = FailureOf(request_->interruptReason());
        break;
    }
    // An interrupted transfer is never resumed, so its part is of no use.
    RemovePartFile();
    list_->Report(this, false);
}

void TDownload::MoveIfReady()
{
    if (!transferred_ || target_.isEmpty() || moving_ || moved_ || failure_ != TFailure::None)
        return;
    moving_ = true;
    list_->Report(this, false);
    // A copy to another file system can take long: off the UI thread.
    const QPointer<TDownload> self(this);
    QThreadPool::globalInstance()->start(
        [self, part = partPath_, target = target_, replace = replace_] {
            const TMoveResult result = MovePartFile(part, target, replace);
            QMetaObject::invokeMethod(
                qApp,
                [self, result] {
                    if (self)
                        self->Moved(result);
                },
                Qt::QueuedConnection);
        });
}

void TDownload::Moved(const TMoveResult& result)
{
    moving_ = false;
    failure_ = FailureOf(result.Problem);
    if (failure_ == TFailure::None) {
        moved_ = true;
        target_ = result.Path;
        list_->Report(this, false);
        emit list_->Finished(this);
        return;
    }
    moveFailed_ = true;
    list_->Report(this, false);
}

void TDownload::Sample(qint64 ms)
{
    if (!request_ || request_->isFinished())
        return;
    received_ = request_->receivedBytes();
    total_ = request_->totalBytes();
    rate_.Add(ms, received_);
    emit Changed();
}

void TDownload::RemovePartFile()
{
    QFile::remove(partPath_);
    // Where the engine writes until the transfer is complete.
    QFile::remove(partPath_ + QStringLiteral(".download"));
}

} // namespace engine
