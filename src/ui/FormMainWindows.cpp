// The main window's secondary windows: the settings dialog and the About window (both
// modal, from the tray menu), and message 2028, which opens a secondary browser window.

#include <QApplication>
#include <QLoggingCategory>
#include <QPointer>

#include "ui/FormAbout.h"
#include "ui/FormBrowser.h"
#include "ui/FormMain.h"
#include "ui/FormSetting.h"
#include "ui/PopupGate.h"

Q_LOGGING_CATEGORY(lcWindows, "quillmark.ui.windows")

namespace {

// Shows a new Dialog modal to `owner` alone, as the pages' dialogs are, so the tray icon
// and its menu keep working; `item` is disabled meanwhile. Then frees it. While one is
// open, a further call brings it to the front instead of opening another.
template <class Dialog> void ShowModalFromMenu(QWidget* owner, QAction* item)
{
    static QPointer<Dialog> open;
    if (open) {
        open->raise();
        open->activateWindow();
        return;
    }
    // The dialog's own event loop may outlive the menu and the owner, which frees it then
    // (the client ending meanwhile).
    QPointer<QAction> guard(item);
    item->setEnabled(false);
    open = new Dialog(owner);
    open->setWindowModality(Qt::WindowModal);
    open->exec();
    delete open.data();
    if (guard)
        guard->setEnabled(true);
}

} // namespace

void TFormMain::NSettingClick()
{
    qCInfo(lcWindows) << "opening the settings dialog";
    ShowModalFromMenu<TFormSetting>(this, NSetting);
}

void TFormMain::NAboutClick()
{
    qCInfo(lcWindows) << "opening the About window";
    ShowModalFromMenu<TFormAbout>(this, NAbout);
}

void TFormMain::WMOpenBrowserWindow(const QString& address)
{
    if (const std::optional<int> chain = PopupGate().AdmitWindow())
        TFormBrowser::Open(address, *chain);
}
