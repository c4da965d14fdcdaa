#include "engine/SaveUrl.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <list>

#include "engine/Browser.h"

namespace engine {
namespace {

struct PendingSave {
    QPointer<QWebEnginePage> Page;
    QUrl Url;
    QString Path;
    std::function<void(bool)> Finished;
};

std::list<PendingSave> pending;

// From the event loop: the handler may show a box, which must not run inside the
// engine's own signal.
void Report(std::function<void(bool)> finished, bool saved)
{
    QMetaObject::invokeMethod(
        qApp, [finished = std::move(finished), saved] { finished(saved); }, Qt::QueuedConnection);
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
    pending.push_back({page, url, path, std::move(finished)});
    page->download(url, QFileInfo(path).fileName());
}

bool TakeUrlSave(QWebEngineDownloadRequest* download)
{
    // A page that went before its download came: that save has failed.
    std::erase_if(pending, [](PendingSave& save) {
        if (save.Page)
            return false;
        Report(std::move(save.Finished), false);
        return true;
    });
    const auto save = std::find_if(pending.begin(), pending.end(), [&](const PendingSave& s) {
        return s.Url == download->url() && (!download->page() || download->page() == s.Page);
    });
    if (save == pending.end())
        return false;
    const QFileInfo target(save->Path);
    auto finished = std::move(save->Finished);
    pending.erase(save);
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
