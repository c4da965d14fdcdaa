#include "engine/DownloadList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <QUuid>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>

#include "engine/BackgroundRemoval.h"
#include "engine/EngineProfile.h"
#include "engine/FileDialogs.h"

namespace engine {
namespace {

constexpr int SampleMs = 500;

qint64 SteadyMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

} // namespace

TDownloadList::TDownloadList(const QString& partDirectory, QObject* parent)
    : QObject(parent), partDirectory_(QDir(partDirectory).absolutePath()),
      sampler_(new QTimer(this))
{
    // Nothing in here outlives its client: what is found is an earlier run's.
    EmptyDirectoryInBackground(partDirectory_);
    sampler_->setInterval(SampleMs);
    connect(sampler_, &QTimer::timeout, this, [this] {
        if (!Sample())
            sampler_->stop();
    });
}

TDownloadList::~TDownloadList()
{
    if (dialog_) {
        dialog_->disconnect(this);
        delete dialog_.data();
    }
    for (TDownload* download : std::as_const(downloads_)) {
        if (download->State() == TDownload::TState::Done)
            continue;
        // Quietly: whoever follows the list may be going too.
        download->Discard();
    }
    delete retryPage_.data();
}

QList<TDownload*> TDownloadList::Items() const
{
    QList<TDownload*> items;
    for (TDownload* download : downloads_)
        if (!download->TargetPath().isEmpty())
            items.append(download);
    return items;
}

int TDownloadList::RunningCount() const
{
    int running = 0;
    for (TDownload* download : downloads_) {
        switch (download->State()) {
        case TDownload::TState::Asking:
            running +=
                download->ReceivedBytes() > 0 && download->Failure() == TDownload::TFailure::None;
            break;
        case TDownload::TState::Running:
        case TDownload::TState::Moving:
            ++running;
            break;
        default:
            break;
        }
    }
    return running;
}

QString TDownloadList::NewPartPath() const
{
    // The directory may have been wiped meanwhile.
    QDir().mkpath(partDirectory_);
    return QDir(partDirectory_)
        .filePath(QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".part"));
}

TDownload* TDownloadList::Start(QWebEngineDownloadRequest* request)
{
    auto* download = new TDownload(request, NewPartPath(), this);
    downloads_.append(download);
    connect(download, &TDownload::Changed, this, [this, download] { emit Changed(download); });
    connect(download, &TDownload::Placed, this, [this, download] {
        emit Added(download);
        StartSampling();
    });
    connect(download, &TDownload::Finished, this, [this, download] { emit Finished(download); });
    connect(download, &TDownload::Cancelled, this, [this, download] {
        if (download->TargetPath().isEmpty())
            Remove(download);
    });
    connect(download, &TDownload::TransferWanted, this, [this, download] { Restart(download); });
    // The transfer runs while the place is asked for.
    StartSampling();
    return download;
}

void TDownloadList::AskPlace(TDownload* download, QWidget* parent, const QString& proposedPath)
{
    questions_.push_back({download, parent, proposedPath});
    AskNext();
}

void TDownloadList::CancelQuestions()
{
    std::deque<TPlaceQuestion> waiting;
    waiting.swap(questions_);
    for (const TPlaceQuestion& question : waiting)
        if (question.Download)
            question.Download->Cancel();
    if (dialog_)
        dialog_->reject();
}

void TDownloadList::AskNext()
{
    while (!dialog_ && !questions_.empty()) {
        const TPlaceQuestion question = questions_.front();
        questions_.pop_front();
        TDownload* download = question.Download;
        if (!download || download->State() != TDownload::TState::Asking)
            continue;
        if (!question.Parent) {
            download->Cancel();
            continue;
        }
        dialog_ = NewSaveFileDialog(question.Parent, question.ProposedPath);
        const QPointer<TDownload> asked(download);
        // The dialog goes without an answer when its window does.
        auto answered = std::make_shared<bool>(false);
        connect(dialog_, &QDialog::finished, this, [this, asked, answered](int result) {
            *answered = true;
            const QString path =
                result == QDialog::Accepted ? dialog_->selectedFiles().value(0) : QString();
            dialog_->deleteLater();
            dialog_ = nullptr;
            if (asked) {
                // The dialog asked before it let an existing file be chosen.
                if (path.isEmpty())
                    asked->Cancel();
                else
                    asked->PlaceAt(path, QFileInfo::exists(path));
            }
            AskNext();
        });
        connect(dialog_, &QObject::destroyed, this, [this, asked, answered] {
            if (*answered)
                return;
            if (asked)
                asked->Cancel();
            QMetaObject::invokeMethod(this, &TDownloadList::AskNext, Qt::QueuedConnection);
        });
        dialog_->open();
    }
}

void TDownloadList::StartSampling()
{
    if (!sampler_->isActive())
        sampler_->start();
}

bool TDownloadList::Sample()
{
    const qint64 now = SteadyMs();
    bool any = false;
    for (TDownload* download : std::as_const(downloads_)) {
        const TDownload::TState state = download->State();
        if (state == TDownload::TState::Asking || state == TDownload::TState::Running) {
            download->Sample(now);
            any = true;
        }
    }
    return any;
}

void TDownloadList::Remove(TDownload* download)
{
    downloads_.removeAll(download);
    emit Removed(download);
    download->deleteLater();
}

void TDownloadList::Restart(TDownload* download)
{
    QWebEnginePage* page = download->Page();
    if (!page) {
        if (!retryPage_)
            retryPage_ = new QWebEnginePage(Profile(), this);
        page = retryPage_;
    }
    retries_.append(download);
    page->download(download->Url(), download->FileName());
}

bool TDownloadList::TakeKnown(QWebEngineDownloadRequest* request)
{
    for (TDownload* download : std::as_const(downloads_))
        if (download->ContinueWith(request))
            return true;
    retries_.removeAll(nullptr);
    for (qsizetype i = 0; i < retries_.size(); ++i) {
        TDownload* download = retries_[i];
        if (download->Url() != request->url())
            continue;
        retries_.removeAt(i);
        StartSampling();
        download->RestartWith(request, NewPartPath());
        return true;
    }
    return false;
}

} // namespace engine
