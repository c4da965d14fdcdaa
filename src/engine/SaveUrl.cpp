#include "engine/SaveUrl.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <algorithm>
#include <list>
#include <utility>

#include "engine/Browser.h"

namespace engine {
namespace {

// The engine says nothing about an address it will not fetch (a scheme it does not
// download, such as ftp:): a save whose download has not come by then has failed. Its
// download may still come for a while after, and is then cancelled.
constexpr int StartLimitMs = 5000;
constexpr int LateDownloadMs = 60000;

struct PendingSave {
    quint64 Id;
    QPointer<QWebEnginePage> Page;
    QUrl Url;
    QString Path;
    // Empty once the failure has been reported: a download that still comes is cancelled.
    std::function<void(bool)> Finished;
};

std::list<PendingSave> pending;
quint64 lastId = 0;

// From the event loop: the handler may show a box, which must not run inside the
// engine's own signal.
void Report(std::function<void(bool)> finished, bool saved)
{
    QMetaObject::invokeMethod(
        qApp, [finished = std::move(finished), saved] { finished(saved); }, Qt::QueuedConnection);
}

// First reports the save as failed, then, called again, forgets it.
void GiveUp(quint64 id)
{
    const auto save = std::find_if(pending.begin(), pending.end(),
                                   [id](const PendingSave& s) { return s.Id == id; });
    if (save == pending.end())
        return;
    if (!save->Finished) {
        pending.erase(save);
        return;
    }
    Report(std::exchange(save->Finished, {}), false);
    QTimer::singleShot(LateDownloadMs, qApp, [id] { GiveUp(id); });
}

} // namespace

void SaveUrlToFile(const BrowserRef& browser, const QUrl& url, const QString& path,
                   std::function<void(bool saved)> finished)
{
    QWebEnginePage* page = browser ? browser->Page() : nullptr;
    if (!page) {
        Report(std::move(finished), false);
        return;
    }
    const quint64 id = ++lastId;
    pending.push_back({id, page, url, path, std::move(finished)});
    QTimer::singleShot(StartLimitMs, qApp, [id] { GiveUp(id); });
    page->download(url, QFileInfo(path).fileName());
}

bool TakeUrlSave(QWebEngineDownloadRequest* download)
{
    // A page that went before its download came: that save has failed.
    std::erase_if(pending, [](PendingSave& save) {
        if (save.Page)
            return false;
        if (save.Finished)
            Report(std::move(save.Finished), false);
        return true;
    });
    // A save still waiting takes its download before one given up does.
    const auto matches = [&](const PendingSave& s, bool waiting) {
        return bool(s.Finished) == waiting && s.Url == download->url() &&
               (!download->page() || download->page() == s.Page);
    };
    auto save = std::find_if(pending.begin(), pending.end(),
                             [&](const PendingSave& s) { return matches(s, true); });
    if (save == pending.end())
        save = std::find_if(pending.begin(), pending.end(),
                            [&](const PendingSave& s) { return matches(s, false); });
    if (save == pending.end())
        return false;
    const QFileInfo target(save->Path);
    auto finished = std::move(save->Finished);
    pending.erase(save);
    if (!finished) {
        download->cancel();
        return true;
    }
    // An interrupted transfer is not resumed: it has failed, whatever state follows.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(
        download, &QWebEngineDownloadRequest::stateChanged, download,
        [connection, finished](QWebEngineDownloadRequest::DownloadState state) {
            if (state == QWebEngineDownloadRequest::DownloadRequested ||
                state == QWebEngineDownloadRequest::DownloadInProgress)
                return;
            QObject::disconnect(*connection);
            Report(finished, state == QWebEngineDownloadRequest::DownloadCompleted);
        });
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    download->accept();
    return true;
}

} // namespace engine
