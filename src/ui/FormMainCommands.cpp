// Script dialogs of every view of the main window: plain ones go to the restarter's boxes,
// "ZEPHRIN:" commands run here, malformed commands are left to the engine. The two
// commands end the client and start it again: ClearCacheAndRestart and NReloginClick.

#include "core/PageCommand.h"
#include "ui/FormMain.h"
#include "ui/Restarter.h"

void TFormMain::crmJsdialog(engine::TChromium*, const engine::BrowserRef& browser, const QString&,
                            const QString&, engine::TJsDialogType dialogType,
                            const QString& messageText, const QString& defaultPromptText,
                            const engine::JsDialogCallbackRef& callback, bool&, bool& Result)
{
    switch (core::ClassifyPageDialog(messageText.toStdString())) {
    case core::TPageDialog::Plain:
        Result = true;
        restarter_->ShowPageDialog(browser, dialogType, messageText, defaultPromptText, callback);
        return;
    case core::TPageDialog::ClearCache:
        Result = true;
        ClearCacheAndRestart();
        return;
    case core::TPageDialog::Relogin:
        Result = true;
        NReloginClick(callback);
        return;
    case core::TPageDialog::Malformed:
        return;
    }
}

void TFormMain::ClearCacheAndRestart()
{
    Closing = true;
    ConfirmExit = false;
    ExitRequested = true;
    restarter_->ClearCache();
    PostCloseRequest();
}

void TFormMain::NReloginClick(const engine::JsDialogCallbackRef& askingPage)
{
    if (!restarter_->Relogin(askingPage))
        return;
    ConfirmExit = false;
    NExitClick();
}
