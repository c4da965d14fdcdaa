// The window's side of notifications: a balloon click is a tip click (2029), whose
// argument goes to the service page's tipClickHandle while the window comes to the front;
// the window in front stops the tray icon's blinking.

#include "core/ScriptLiteral.h"
#include "ui/FormMain.h"
#include "ui/TabBook.h"
#include "ui/TrayNotifier.h"
#include "ui/WindowPlacement.h"

void TFormMain::MarkTipsRead()
{
    TrayNotifier().MarkRead();
}

void TFormMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        MarkTipsRead();
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        placement_->WindowStateChanged();
}

void TFormMain::WMTipClick(const QString& argument)
{
    // The service tab's page; page 0's view until the service tab exists.
    const TBrowserTab* service = tabs_->Find(1);
    const engine::BrowserRef target =
        service && service->Browser ? service->Browser : crm->Browser();
    if (target)
        target->GetMainFrame()->ExecuteJavaScript(
            QString::fromStdString(core::TipClickScript(argument.toStdString())),
            QStringLiteral("about:blank"), 0);
    NShowMainClick();
}
