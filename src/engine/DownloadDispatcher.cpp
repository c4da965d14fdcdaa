#include "engine/DownloadDispatcher.h"

#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

#include "engine/BrowserPage.h"
#include "engine/Chromium.h"
#include "engine/DownloadList.h"
#include "engine/SaveUrl.h"

namespace engine {

TDownloadDispatcher::TDownloadDispatcher(QWebEngineProfile* profile) : QObject(profile)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &TDownloadDispatcher::Dispatch);
}

void TDownloadDispatcher::SetList(TDownloadList* list)
{
    list_ = list;
}

void TDownloadDispatcher::Dispatch(QWebEngineDownloadRequest* request)
{
    if (list_ && list_->TakeKnown(request))
        return;
    if (TakeUrlSave(request))
        return;
    if (BrowserPage* page = BrowserPage::From(request->page()))
        page->ReportDownload(request, list_);
    else
        request->cancel();
}

} // namespace engine
