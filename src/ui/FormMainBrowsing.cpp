// Browsing in the main window: pages' own window.print() and address changes (which
// bring the stored zoom) come here from every tab.

#include <QWebEngineView>

#include "ui/BrowsingCommands.h"
#include "ui/FormMain.h"
#include "ui/PageZoom.h"

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
