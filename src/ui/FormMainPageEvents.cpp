// Page events of every browser view of the main window and of the popups opened from
// them. From the moment Closing is set they change nothing (resource loads still get
// their header).

#include <QLoggingCategory>
#include <QTimer>

#include "shared/ZphConst.h"
#include "ui/FormMain.h"
#include "ui/LanguageHeader.h"
#include "ui/PopupRefusal.h"
#include "ui/PostedMessages.h"
#include "ui/SteadyClock.h"

Q_LOGGING_CATEGORY(lcPageEvents, "quillmark.ui.page")

namespace {

// The tab id carried by the control that holds a browser window: a view made by
// CreateBrowserView, or the page a popup's window sits in.
std::optional<qint32> TagOfControl(const QWidget* control)
{
    if (auto* view = qobject_cast<const engine::TChromium*>(control))
        return view->Tag;
    if (auto* page = qobject_cast<const TSkinTabSheet*>(control))
        return page->Tag;
    return std::nullopt;
}

// The strip page a browser window (or view) lives in.
TSkinTabSheet* PageHolding(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (auto* page = qobject_cast<TSkinTabSheet*>(widget))
            return page;
    return nullptr;
}

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
    auto* page = qobject_cast<TSkinTabSheet*>(SparePageWindow.data());
    if (Closing || !page)
        return;
    // Every popup of a chain reports through the view the chain started from.
    const int openTabs = PageControl1->PageCount() - 2;
    const auto verdict =
        PopupBounds.Admit(sender->Tag, userGesture, openTabs, qint64(SteadyMilliseconds()));
    if (verdict != core::TPopupBounds::Open) {
        Result = true;
        HoldBackPopup(verdict);
        RefuseScriptPopups(browser->Page());
        return;
    }

    const QRect size = PageSizeRect(page);
    windowInfo.ParentWindow = page;
    windowInfo.X = 0;
    windowInfo.Y = 0;
    windowInfo.Width = size.width();
    windowInfo.Height = size.height();
    windowInfo.WindowName = QStringLiteral("ZephrinBrowserWindow%1").arg(NextTabId);

    TPopupInfo info;
    info.Page = page;
    info.Background = targetDisposition == engine::WOD_NEW_BACKGROUND_TAB;
    PostMessage(new TPopupMessage(info));

    // Every popup gets a page of its own at once, so a burst of popups never shares one.
    AddSparePage();
}

void TFormMain::crmTitleChange(engine::TChromium* sender, const engine::BrowserRef& browser,
                               const QString& title)
{
    if (Closing || !TabRegistry)
        return;
    TSkinTabSheet* page = nullptr;
    TBrowserTab* tab = nullptr;
    if (browser->IsPopup()) {
        QWidget* window = browser->GetHost().GetWindowHandle();
        page = qobject_cast<TSkinTabSheet*>(window ? window->parentWidget() : nullptr);
        if (!page)
            return;
        tab = FindTab(page->Tag);
        if (!tab) {
            auto made = NewTab(browser, page);
            tab = made.get();
            TabRegistry->Add(QString::number(page->Tag), std::move(made));
        }
        if (!tab->BrowserWindow) {
            tab->BrowserWindow = page->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
            tab->Browser = browser;
        }
    } else {
        page = qobject_cast<TSkinTabSheet*>(sender->parentWidget());
        tab = page ? FindTab(page->Tag) : nullptr;
    }
    // While the start tab cannot reach the service, its caption says so.
    if (!tab || IsBlankTitle(title) ||
        (sender == StartView && !browser->IsPopup() && StartPageUnreachable()))
        return;
    page->SetCaption(page->PageIndex() == 1 ? QString::fromLatin1(zph::AppTitle) : title);
}

void TFormMain::crmLoadingStateChange(engine::TChromium* sender, const engine::BrowserRef& browser,
                                      bool isLoading, bool, bool)
{
    if (Closing)
        return;
    if (isLoading) {
        Restarter().PageNavigated(browser->GetIdentifier());
        WatchServiceLoad(sender, browser);
    }
    UpdateTabLoadState(browser->GetHost().GetWindowHandle(), !isLoading);
}

void TFormMain::UpdateTabLoadState(QWidget* browserWindow, bool loaded)
{
    if (!browserWindow || !LoadingPages)
        return;
    const auto tag = TagOfControl(browserWindow->parentWidget());
    if (!tag)
        return;
    TBrowserTab* tab = FindTab(*tag);
    if (!tab || !tab->Page)
        return;
    const int index = tab->Page->PageIndex();
    if (!loaded && !LoadingPages->contains(index)) {
        LoadingPages->append(index);
        TimerRefreshTab->start();
    }
    if (loaded)
        LoadingPages->removeOne(index);
    if (loaded && !tab->Loaded && index == 1)
        qCInfo(lcPageEvents) << "start tab loaded";
    tab->Loaded = loaded;
    // One paint for all the tabs that report in one go (a burst of popups reports
    // hundreds of times), not one paint of the whole strip per report.
    PageControl1->UpdateStrip();
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
    TSkinTabSheet* page = PageHolding(window);
    if (!page || page->PageIndex() <= 1) {
        PostCloseRequest();
        return;
    }
    // After the engine's signal has returned; by then the page may have moved.
    QTimer::singleShot(0, page, [this, page] {
        if (!Closing)
            CloseTab(page->PageIndex());
    });
}
