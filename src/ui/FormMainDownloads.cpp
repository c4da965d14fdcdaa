// Downloads in the main window: the window's list takes the profile's downloads into part
// files under AppDir + "cache/downloads/" (what an earlier run left there is removed at
// start), the tray entry "下载" and the strip's indicator open the panel, and a download
// that finishes while the window is hidden says so in the tray's balloon (when PopupHint
// is on).

#include "engine/DownloadList.h"
#include "engine/EngineProfile.h"
#include "shared/Global.h"
#include "ui/DownloadIndicator.h"
#include "ui/FormDownloads.h"
#include "ui/FormMain.h"
#include "ui/StripController.h"
#include "ui/TrayNotifier.h"

void TFormMain::CreateDownloads()
{
    Downloads = new engine::TDownloadList(AppDir + QStringLiteral("cache/downloads"), this);
    if (engine::TDownloadDispatcher* dispatcher = engine::DownloadDispatcher())
        dispatcher->SetList(Downloads);
    DownloadIndicator = new TDownloadIndicator(PageControl1->Strip());
    connect(DownloadIndicator, &QToolButton::clicked, this, &TFormMain::NDownloadsClick);
    connect(DownloadIndicator, &TDownloadIndicator::RoomChanged, strip_,
            &TStripController::FitTabWidth);
    const auto countRunning = [this] {
        if (DownloadIndicator)
            DownloadIndicator->SetRunning(Downloads->RunningCount());
    };
    connect(Downloads, &engine::TDownloadList::Changed, this, countRunning);
    connect(Downloads, &engine::TDownloadList::Removed, this, countRunning);
    connect(Downloads, &engine::TDownloadList::Finished, this,
            [this](const engine::TDownload* download) {
                if (!Closing)
                    TrayNotifier().DownloadFinished(download->FileName());
            });
}

void TFormMain::NDownloadsClick()
{
    if (!FormDownloads)
        FormDownloads = new TFormDownloads(Downloads, this);
    FormDownloads->ShowInFront();
}
