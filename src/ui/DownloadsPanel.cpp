#include "ui/DownloadsPanel.h"

#include "engine/DownloadList.h"
#include "engine/EngineProfile.h"
#include "shared/Global.h"
#include "ui/DownloadIndicator.h"
#include "ui/FormDownloads.h"

TDownloadsPanel::TDownloadsPanel(QWidget* window, QWidget* strip)
    : QObject(window), window_(window),
      list_(new engine::TDownloadList(AppDir + QStringLiteral("cache/downloads"), this)),
      indicator_(new TDownloadIndicator(strip))
{
    if (engine::TDownloadDispatcher* dispatcher = engine::DownloadDispatcher())
        dispatcher->SetList(list_);
    connect(indicator_, &QToolButton::clicked, this, &TDownloadsPanel::Show);
    connect(indicator_, &TDownloadIndicator::RoomChanged, this,
            &TDownloadsPanel::IndicatorRoomChanged);
    const auto countRunning = [this] {
        if (indicator_)
            indicator_->SetRunning(list_->RunningCount());
    };
    connect(list_, &engine::TDownloadList::Changed, this, countRunning);
    connect(list_, &engine::TDownloadList::Removed, this, countRunning);
    connect(list_, &engine::TDownloadList::Finished, this, [this] {
        if (indicator_)
            indicator_->ShowFinished();
    });
}

TDownloadIndicator* TDownloadsPanel::Indicator() const
{
    return indicator_;
}

TFormDownloads* TDownloadsPanel::Panel() const
{
    return panel_;
}

int TDownloadsPanel::TabsEnd() const
{
    return indicator_ && !indicator_->isHidden() ? indicator_->TabsEnd() : -1;
}

void TDownloadsPanel::Show()
{
    if (!panel_)
        panel_ = new TFormDownloads(list_, window_);
    panel_->ShowInFront();
}
