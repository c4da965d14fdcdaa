#include "engine/Download.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>

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

TDownload::TDownload(QWebEngineDownloadRequest* request, const QString& partPath, QObject* parent)
    : QObject(parent), page_(request->page()), url_(request->url()),
      suggestedName_(request->suggestedFileName())
{
    giveUp_.setSingleShot(true);
    giveUp_.setInterval(GiveUpMs);
    connect(&giveUp_, &QTimer::timeout, this, &TDownload::GaveUp);
    Bind(request, partPath);
}

bool TDownload::ContinueWith(QWebEngineDownloadRequest* request)
{
    if (engineId_ != request->id() || cancelled_)
        return false;
    // A transfer given up on stays ended.
    if (request_)
        Bind(request, partPath_);
    else
        request->cancel();
    return true;
}

void TDownload::RestartWith(QWebEngineDownloadRequest* request, const QString& partPath)
{
    Bind(request, partPath);
    emit Changed();
}

void TDownload::Discard()
{
    cancelled_ = true;
    if (request_ && !request_->isFinished())
        request_->cancel();
    RemovePartFile();
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

QWebEnginePage* TDownload::Page() const
{
    return page_;
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
    emit Placed();
    emit Changed();
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
    emit Changed();
    emit Cancelled();
}

void TDownload::Retry()
{
    const TState state = State();
    if (state != TState::Failed && state != TState::Cancelled)
        return;
    failure_ = TFailure::None;
    cancelled_ = false;
    // Cancel removed the part file a failed move had left.
    const bool moveAgain = moveFailed_ && state == TState::Failed;
    moveFailed_ = false;
    if (moveAgain) {
        emit Changed();
        MoveIfReady();
        return;
    }
    received_ = 0;
    transferred_ = false;
    request_ = nullptr;
    emit Changed();
    emit TransferWanted();
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
    emit Changed();
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
    emit Changed();
}

void TDownload::MoveIfReady()
{
    if (!transferred_ || target_.isEmpty() || moving_ || moved_ || failure_ != TFailure::None)
        return;
    moving_ = true;
    emit Changed();
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
        emit Changed();
        emit Finished();
        return;
    }
    moveFailed_ = true;
    emit Changed();
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
