// Browsing in the main window: the browsing keys, find, zoom and printing act on the
// active tab's view; pages' own window.print() and address changes come here from
// every tab; Ctrl+Shift+T reopens the tabs closed last (the tab book keeps them).

#include <QShortcut>
#include <QWebEngineView>

#include "ui/BrowsingCommands.h"
#include "ui/FormMain.h"
#include "ui/PageZoom.h"
#include "ui/TabBook.h"

void TFormMain::CreateBrowsing()
{
    Browsing = new TBrowsingCommands(this, [this] { return tabs_->ActiveView(); });
    auto* reopen = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), this);
    connect(reopen, &QShortcut::activated, this, [this] {
        if (!Closing)
            tabs_->ReopenClosed();
    });
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
