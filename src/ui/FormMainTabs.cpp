// The window's face of its tabs and strip: the page control's events go to the tab book
// and the strip controller.

#include "ui/FormMain.h"
#include "ui/PostedMessages.h"
#include "ui/StripController.h"
#include "ui/TabBook.h"

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

void TFormMain::PageControl1Change()
{
    if (Closing)
        return;
    strip_->FitTabWidth();
    TBrowserTab* tab = tabs_->Active();
    if (!tab || !tab->Page)
        return;
    tabs_->Shown(tab);
}

void TFormMain::PageControl1DrawSkinTab(int p, const QRect&, QPainter& canvas)
{
    if (!Closing)
        strip_->Draw(p, canvas);
}

void TFormMain::PageControl1MouseDown(Qt::MouseButton button, int X, int Y)
{
    strip_->MouseDown(button, X, Y);
}

void TFormMain::PageControl1MouseUp(Qt::MouseButton button, int X, int Y)
{
    strip_->MouseUp(button, X, Y);
}
