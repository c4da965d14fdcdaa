// The tab registry: every browser view of the main window lives on a page of
// PageControl1. Page 0 holds the window's own view (tab hidden), page 1 the start tab,
// then the popup tabs in opening order, and last the spare page (tab hidden) in which
// the next popup's window is made.

#include <QGuiApplication>
#include <QVBoxLayout>
#include <algorithm>

#include "core/TabGeometry.h"
#include "shared/ZphConst.h"
#include "ui/DownloadIndicator.h"
#include "ui/FormMain.h"

TBrowserTab* TFormMain::FindTab(qint32 id) const
{
    if (!TabRegistry)
        return nullptr;
    return TabRegistry->Find(QString::number(id));
}

TBrowserTab* TFormMain::ActiveTab() const
{
    TSkinTabSheet* page = PageControl1 ? PageControl1->ActivePage() : nullptr;
    return page ? FindTab(page->Tag) : nullptr;
}

std::unique_ptr<TBrowserTab> TFormMain::NewTab(const engine::BrowserRef& browser,
                                               TSkinTabSheet* page)
{
    auto tab = std::make_unique<TBrowserTab>();
    tab->Browser = browser;
    tab->Page = page;
    return tab;
}

engine::TChromium* TFormMain::CreateBrowserView(TSkinTabSheet* page)
{
    auto* layout = qobject_cast<QVBoxLayout*>(page->layout());
    if (!layout) {
        layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    auto* view = new engine::TChromium(page);
    view->DefaultEncoding = QStringLiteral("gb2312");
    view->Tag = NextTabId;
    WireBrowserView(view);
    layout->addWidget(view);
    view->show();
    return view;
}

void TFormMain::WireBrowserView(engine::TChromium* view)
{
    view->OnBeforePopup = [this](auto&&... args) { crmBeforePopup(args...); };
    view->OnTitleChange = [this](auto&&... args) { crmTitleChange(args...); };
    view->OnLoadingStateChange = [this](auto&&... args) { crmLoadingStateChange(args...); };
    view->OnBeforeResourceLoad = [this](auto&&... args) { crmBeforeResourceLoad(args...); };
    view->OnBeforeDownload = [this](auto&&... args) { crmBeforeDownload(args...); };
    view->OnClose = [this](auto&&... args) { crmClose(args...); };
    view->OnJsdialog = [this](auto&&... args) { crmJsdialog(args...); };
    view->OnBeforeContextMenu = [this](auto&&... args) { crmBeforeContextMenu(args...); };
    view->OnContextMenuCommand = [this](auto&&... args) { crmContextMenuCommand(args...); };
    view->OnAddressChange = [this](auto&&... args) { crmAddressChange(args...); };
    view->OnPrint = [this](auto&&... args) { crmPrint(args...); };
    view->OnLoadEnd = [this](auto&&... args) { crmLoadEnd(args...); };
    view->OnLoadError = [this](auto&&... args) { crmLoadError(args...); };
    view->OnLoadProgress = [this](auto&&... args) { crmLoadProgress(args...); };
    view->OnRenderProcessTerminated = [this](auto&&... args) {
        crmRenderProcessTerminated(args...);
    };
}

void TFormMain::AddSparePage()
{
    TSkinTabSheet* page = PageControl1->AddPage();
    page->SetTabVisible(false);
    page->SetCaption(QString());
    ++NextTabId;
    page->Tag = NextTabId;
    SparePageWindow = page;
    UpdateTabWidth();
}

engine::TChromium* TFormMain::OpenAddressTab(const QString& address)
{
    const QString target = address.trimmed().isEmpty() ? QStringLiteral("about:blank") : address;
    const int n = PageControl1->PageCount();
    TSkinTabSheet* page = PageControl1->Page(n - 1);
    page->SetCaption(QString::fromLatin1(zph::AppTitle));
    page->SetTabVisible(true);
    PageControl1->SetActivePageIndex(n - 1);
    if (n - 1 < TabInfoSlots)
        TabInfos[size_t(n - 1)].PageIndex = n - 1;

    engine::TChromium* view = CreateBrowserView(page);
    view->Load(target);
    auto tab = NewTab(view->Browser(), page);
    tab->IsPopup = false;
    tab->BrowserWindow = view;

    TabRegistry->Add(QString::number(NextTabId), std::move(tab));
    AddSparePage();
    return view;
}

void TFormMain::OpenPopupTab(const TPopupInfo& info)
{
    TSkinTabSheet* page = info.Page;
    if (!page || Closing)
        return;
    const int index = page->PageIndex();
    page->SetCaption(QString::fromLatin1(zph::AppTitle));
    if (index < TabInfoSlots)
        TabInfos[size_t(index)].PageIndex = index;

    auto tab = NewTab(nullptr, page);
    tab->BrowserWindow = info.Window;
    tab->IsPopup = true;
    TabRegistry->Add(QString::number(page->Tag), std::move(tab));

    page->SetTabVisible(true);
    UpdateTabWidth();
    if (!info.Background && !(QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier))
        PageControl1->SetActivePageIndex(index);
}

void TFormMain::CloseTab(int p)
{
    int n = PageControl1->PageCount();
    TSkinTabSheet* page = PageControl1->Page(p);
    if (!page || !page->TabVisible() || p == n - 1)
        return;
    if (TBrowserTab* tab = FindTab(page->Tag); tab && tab->Browser)
        tab->Browser->StopLoad();

    LoadingPages->removeOne(p);
    for (int i = 0; i < std::min(n, TabInfoSlots); ++i) {
        if (TabInfos[size_t(i)].PageIndex == p) {
            TabInfos[size_t(i)] = TTabInfo{};
            break;
        }
    }

    if (p == 1 && n == 3) {
        close();
        return;
    }

    RememberClosedTab(page);
    TabRegistry->Remove(QString::number(page->Tag), page);
    engine::CloseBrowsersIn(page);
    PageControl1->DeletePage(p);
    // Pages behind the closed one moved one place to the left.
    for (qint32& loading : *LoadingPages)
        if (loading > p)
            --loading;

    n = PageControl1->PageCount();
    PageControl1->SetActivePageIndex(p > 0 && p == n - 1 ? p - 1 : p);
    PageControl1Change();
}

void TFormMain::UpdateTabWidth()
{
    int visible = 0;
    for (int i = 0; i < PageControl1->PageCount(); ++i)
        if (PageControl1->Page(i)->TabVisible())
            ++visible;
    int room = PageControl1->width();
    // The downloads indicator sits in the room the strip keeps at its end, and may
    // outgrow it.
    if (DownloadIndicator && !DownloadIndicator->isHidden())
        room = std::min(room, DownloadIndicator->TabsEnd() + core::TabStripReserve);
    PageControl1->SetTabWidth(core::ComputeTabWidth(room, visible));
}

void TFormMain::PageControl1Change()
{
    if (Closing)
        return;
    UpdateTabWidth();
    TBrowserTab* tab = ActiveTab();
    if (!tab || !tab->Page)
        return;
    setWindowTitle(QStringLiteral("%1 - %2 %3")
                       .arg(tab->Page->Caption(), QString::fromLatin1(zph::AppTitle),
                            QString::fromLatin1(zph::AppVersion)));
    // A tab that missed a resize while in the background is fitted when it is shown.
    if (tab->NeedsFit)
        FitTabBrowser(tab);
    if (tab->Browser && tab->BrowserWindow)
        tab->BrowserWindow->setFocus();
}

void TFormMain::MarkTabsForFit()
{
    const int n = PageControl1->PageCount();
    for (int i = 1; i <= n - 2; ++i)
        if (TBrowserTab* tab = FindTab(PageControl1->Page(i)->Tag))
            tab->NeedsFit = true;
}

void TFormMain::FitTabBrowser(TBrowserTab* tab)
{
    tab->NeedsFit = false;
    if (tab->BrowserWindow && tab->Page) {
        tab->BrowserWindow->setGeometry(PageSizeRect(tab->Page));
        tab->BrowserWindow->update();
    }
}

QRect TFormMain::PageSizeRect(const QWidget* window)
{
    return QRect(0, 0, window->width(), window->height());
}

void TFormMain::SwitchTab(int step)
{
    const int n = PageControl1->PageCount();
    int index = PageControl1->ActivePageIndex();
    for (int tries = 0; tries < n; ++tries) {
        index = (index + step + n) % n;
        if (PageControl1->Page(index)->TabVisible()) {
            if (index != PageControl1->ActivePageIndex()) {
                PageControl1->SetActivePageIndex(index);
                PageControl1Change();
            }
            return;
        }
    }
}
