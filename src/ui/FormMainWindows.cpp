// The main window's secondary windows: the settings dialog and the About window (both
// modal, from the tray menu), and message 2028, which opens a secondary browser window.

#include <QApplication>
#include <QLoggingCategory>
#include <QPointer>

#include "ui/FormAbout.h"
#include "ui/FormBrowser.h"
#include "ui/FormMain.h"
#include "ui/FormSetting.h"
#include "ui/WindowBounds.h"

Q_LOGGING_CATEGORY(lcWindows, "quillmark.ui.windows")

namespace {

// Shows a new Dialog modally with `item` disabled meanwhile, then frees it. While one is
// open, a further call brings it to the front instead of opening another.
template <class Dialog> void ShowModalFromMenu(QAction* item)
{
    static QPointer<Dialog> open;
    if (open) {
        open->raise();
        open->activateWindow();
        return;
    }
    // The dialog's own event loop may outlive the menu (the client ending meanwhile).
    QPointer<QAction> guard(item);
    item->setEnabled(false);
    {
        Dialog dialog;
        open = &dialog;
        dialog.exec();
    }
    if (guard)
        guard->setEnabled(true);
}

} // namespace

void TFormMain::NSettingClick()
{
    qCInfo(lcWindows) << "opening the settings dialog";
    ShowModalFromMenu<TFormSetting>(NSetting);
}

void TFormMain::NAboutClick()
{
    qCInfo(lcWindows) << "opening the About window";
    ShowModalFromMenu<TFormAbout>(NAbout);
}

void TFormMain::WMOpenBrowserWindow(const QString& address)
{
    TWindowBounds& bounds = TWindowBounds::Instance();
    const int chain = bounds.NewChain();
    if (bounds.Admit(chain, true) != core::TPopupBounds::Open) {
        HoldBackWindow();
        return;
    }
    bounds.Made();
    TFormBrowser::Open(address, chain);
}
