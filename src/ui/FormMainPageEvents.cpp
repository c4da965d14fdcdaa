// Page events of every browser view of the main window and of the popups opened from
// them. From the moment Closing is set they change nothing (resource loads still get
// their header).

#include <QTimer>

#include "shared/ZphConst.h"
#include "ui/FormMain.h"
#include "ui/LanguageHeader.h"
#include "ui/PopupGate.h"
#include "ui/PostedMessages.h"
#include "ui/Restarter.h"
#include "ui/ServiceConnection.h"
#include "ui/SteadyClock.h"
#include "ui/TabBook.h"

namespace {

bool IsBlankTitle(const QString& title)
{
    const QString trimmed = title.trimmed();
    return trimmed.isEmpty() || trimmed == QLatin1String("about:blank");
}

} // namespace

void TFormMain::crmBeforePopup(engine::TChromium* sender, const engine::BrowserRef& browser,
                               const engine::FrameRef&, const QString&, const QString&,
                               engine::TWindowOpenDisposition targetDisposition, bool userGesture,
                               const engine::PopupFeatures&, engine::WindowInfo& windowInfo,
                               engine::BrowserSettings&, bool&, bool& Result)
{
    // Before the start tab exists there is no spare page: the engine opens its own window.
    if (Closing || !tabs_->Spare())
        return;
    // Every popup of a chain reports through the view the chain started from.
    const int openTabs = PageControl1->PageCount() - 2;
    if (!PopupGate().AdmitPopup(sender->Tag, userGesture, openTabs, browser->Page())) {
        Result = true;
        return;
    }

    windowInfo.WindowName = QStringLiteral("ZephrinBrowserWindow%1").arg(tabs_->NextTabId());
    TSkinTabSheet* page = tabs_->TakeSpare();
    windowInfo.ParentWindow = page;
    windowInfo.X = 0;
    windowInfo.Y = 0;
    windowInfo.Width = page->width();
    windowInfo.Height = page->height();

    TPopupInfo info;
    info.Page = page;
    info.Background = targetDisposition == engine::WOD_NEW_BACKGROUND_TAB;
    PostMessage(new TPopupMessage(info));
}

void TFormMain::crmTitleChange(engine::TChromium* sender, const engine::BrowserRef& browser,
                               const QString& title)
{
    if (Closing || !tabs_)
        return;
    TBrowserTab* tab = tabs_->RecordTitle(sender, browser);
    // While the start tab cannot reach the service, its caption says so.
    if (!tab || !tab->Page || IsBlankTitle(title) || service_->KeepsCaption(sender, browser))
        return;
    tab->Page->SetCaption(tab->Page->PageIndex() == 1 ? QString::fromLatin1(zph::AppTitle) : title);
}

void TFormMain::crmLoadingStateChange(engine::TChromium* sender, const engine::BrowserRef& browser,
                                      bool isLoading, bool, bool)
{
    if (Closing)
        return;
    if (isLoading) {
        Restarter().PageNavigated(browser->GetIdentifier());
        service_->LoadStarted(sender, browser);
    }
    tabs_->SetLoadState(browser->GetHost().GetWindowHandle(), !isLoading);
}

void TFormMain::crmBeforeResourceLoad(engine::TChromium*, const engine::BrowserRef&,
                                      const engine::FrameRef&, engine::Request& request,
                                      engine::TReturnValue&)
{
    AddLanguageHeader(request);
}

void TFormMain::crmBeforeDownload(engine::TChromium*, const engine::BrowserRef&,
                                  const engine::DownloadItem&, const QString& suggestedName,
                                  const engine::DownloadCallbackRef& callback)
{
    if (Closing)
        return;
    callback->Continue(suggestedName, true);
}

void TFormMain::crmClose(engine::TChromium* sender, const engine::BrowserRef& browser, bool&)
{
    if (Closing)
        return;
    // A tab's page that closes itself closes its tab, as a close from the strip does;
    // the start tab's (and the window's own view's) hides the window. The flags stay:
    // the client is whole when it is shown again.
    QWidget* window = browser && browser->Window() ? browser->Window() : sender;
    TSkinTabSheet* page = TTabBook::PageHolding(window);
    if (!page || page->PageIndex() <= 1) {
        PostCloseRequest();
        return;
    }
    // After the engine's signal has returned; by then the page may have moved.
    QTimer::singleShot(0, page, [this, page] {
        if (!Closing)
            tabs_->Close(page->PageIndex());
    });
}

void TFormMain::crmLoadProgress(engine::TChromium* sender, const engine::BrowserRef& browser,
                                int percent)
{
    service_->LoadProgress(sender, browser, percent);
}

void TFormMain::crmLoadEnd(engine::TChromium* sender, const engine::BrowserRef& browser, int)
{
    if (!Closing)
        service_->LoadEnded(sender, browser);
}

void TFormMain::crmLoadError(engine::TChromium* sender, const engine::BrowserRef& browser,
                             const engine::LoadError& error)
{
    if (!Closing)
        service_->LoadFailed(sender, browser, error);
}

void TFormMain::crmRenderProcessTerminated(engine::TChromium* sender,
                                           const engine::BrowserRef& browser,
                                           engine::TTerminationStatus status, int exitCode)
{
    service_->RendererEnded(sender, browser, status, exitCode);
}
