// Browsing in the main window: the browsing keys, find, zoom and printing act on the
// active tab's view; pages' own window.print() and address changes come here from
// every tab; Ctrl+Shift+T reopens the tabs closed last.

#include <QShortcut>
#include <QWebEngineView>

#include "engine/BrowserView.h"
#include "ui/BrowsingCommands.h"
#include "ui/FormMain.h"
#include "ui/PageZoom.h"

void TFormMain::CreateBrowsing()
{
    Browsing = new TBrowsingCommands(this, [this] { return ActiveView(); });
    auto* reopen = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), this);
    connect(reopen, &QShortcut::activated, this, &TFormMain::ReopenClosedTab);
}

QWebEngineView* TFormMain::ActiveView() const
{
    const TSkinTabSheet* page = PageControl1->ActivePage();
    return page && page->TabVisible() ? page->findChild<engine::BrowserView*>() : nullptr;
}

void TFormMain::crmAddressChange(engine::TChromium*, const engine::BrowserRef& browser, const QUrl&)
{
    if (QWebEnginePage* page = browser->Page())
        ApplyStoredZoom(page);
}

void TFormMain::crmPrint(engine::TChromium*, const engine::BrowserRef& browser)
{
    if (Closing)
        return;
    if (auto* view = qobject_cast<QWebEngineView*>(browser->Window()))
        Browsing->Print(view);
}

void TFormMain::RememberClosedTab(const TSkinTabSheet* page)
{
    const auto* view = page->findChild<engine::BrowserView*>();
    const QUrl address = view ? view->url() : QUrl();
    if (address.isEmpty() || address.toString() == QLatin1String("about:blank"))
        return;
    ClosedTabs.prepend(address.toString());
    while (ClosedTabs.size() > ClosedTabsKept)
        ClosedTabs.removeLast();
}

void TFormMain::ReopenClosedTab()
{
    // Before the start tab exists there is no spare page to open it in.
    if (Closing || ClosedTabs.isEmpty() || !SparePageWindow)
        return;
    OpenAddressTab(ClosedTabs.takeFirst());
}
