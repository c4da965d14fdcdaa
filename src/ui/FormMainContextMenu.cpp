// The context menu of every view of the main window and of its popups: the engine's
// own entries minus the one at position 4, then "刷新", and on a picture "图片另存为...",
// which saves the picture to a file the user chooses. The engine's own entry for saving
// a picture does the same, so that both propose the same folder.

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QWebEngineProfile>

#include "core/PictureName.h"
#include "engine/EngineProfile.h"
#include "engine/FileDialogs.h"
#include "engine/SaveUrl.h"
#include "ui/AppMessageBox.h"
#include "ui/FormMain.h"
#include "ui/ServiceConnection.h"

namespace {

constexpr int RemovedEntry = 4;
constexpr int CommandRefresh = 3;
constexpr int CommandSavePicture = 16;

// The save dialog's answer, or empty when cancelled. On the heap: the window may go
// while it is open.
QString AskPicturePath(QWidget* parent, const QString& folder, const core::TPictureSaveName& name)
{
    const QString filter = QString::fromStdString(name.Filter);
    QPointer<QFileDialog> dialog = engine::NewSaveFileDialog(
        parent, QDir(folder).filePath(QString::fromStdString(name.FileName)));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setDefaultSuffix(QString::fromStdString(name.Extension).mid(1));
    dialog->setNameFilter(QStringLiteral("%1 (%1)").arg(filter));
    const bool accepted = dialog->exec() == QDialog::Accepted && dialog;
    const QString path = accepted ? dialog->selectedFiles().value(0) : QString();
    delete dialog.data();
    return path;
}

} // namespace

void TFormMain::crmBeforeContextMenu(engine::TChromium*, const engine::BrowserRef&,
                                     const engine::FrameRef&,
                                     const engine::ContextMenuParams& params,
                                     engine::MenuModel& model)
{
    model.RemoveAt(RemovedEntry);
    model.AddItem(CommandRefresh, QStringLiteral("刷新"));
    if (params.GetMediaType() == engine::CM_MEDIATYPE_IMAGE) {
        model.AddSeparator();
        model.AddItem(CommandSavePicture, QStringLiteral("图片另存为..."));
    }
}

void TFormMain::crmContextMenuCommand(engine::TChromium*, const engine::BrowserRef& browser,
                                      const engine::FrameRef&,
                                      const engine::ContextMenuParams& params, int commandId, int,
                                      bool& handled)
{
    if (commandId == CommandRefresh) {
        service_->Reload(browser);
    } else if (commandId == CommandSavePicture || commandId == engine::MENU_ID_SAVE_IMAGE) {
        SavePictureAs(params.GetSourceUrl(), browser);
        handled = true;
    }
}

void TFormMain::SavePictureAs(const QString& url, const engine::BrowserRef& browser)
{
    // The first picture goes to the download folder, or home when there is none.
    if (pictureFolder_.isEmpty())
        pictureFolder_ = engine::Profile()->downloadPath();
    if (!QFileInfo(pictureFolder_).isDir())
        pictureFolder_ = QDir::homePath();
    const QString path =
        AskPicturePath(this, pictureFolder_, core::PictureSaveName(url.toStdString()));
    if (path.isEmpty())
        return;
    const QPointer<TFormMain> window(this);
    engine::SaveUrlToFile(browser, QUrl(url), path, [window, path](bool saved) {
        if (!window)
            return;
        // The next picture is offered where the last one went.
        if (saved)
            window->pictureFolder_ = QFileInfo(path).absolutePath();
        else
            AppMessageBox(QStringLiteral("保存失败！"), MB_WARNING);
    });
}
