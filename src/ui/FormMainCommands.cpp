// Script dialogs of every view of the main window: plain ones in the client's own
// boxes, "ZEPHRIN:" commands run here, malformed commands left to the engine. The two
// commands end the client and start it again: ClearCacheAndRestart and NReloginClick.

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

#include "core/PageCommand.h"
#include "core/RestartScript.h"
#include "platform/DetachedProcess.h"
#include "platform/InstanceLock.h"
#include "shared/Global.h"
#include "ui/AppMessageBox.h"

#include "ui/FormMain.h"
#include "ui/SteadyClock.h"

Q_LOGGING_CATEGORY(lcCommands, "quillmark.ui.commands")

namespace {

const QString SuppressDialogsLabel = QStringLiteral("禁止此页面再显示对话框");

std::string FileSystemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

bool WriteScript(const QString& path, const std::string& text, QString* error)
{
    QSaveFile file(path);
    // A read-only directory may still hold a script that can be overwritten.
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly) &&
        file.write(text.data(), qint64(text.size())) == qint64(text.size()) && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

} // namespace

void TFormMain::crmJsdialog(engine::TChromium*, const engine::BrowserRef& browser, const QString&,
                            const QString&, engine::TJsDialogType dialogType,
                            const QString& messageText, const QString& defaultPromptText,
                            const engine::JsDialogCallbackRef& callback, bool&, bool& Result)
{
    switch (core::ClassifyPageDialog(messageText.toStdString())) {
    case core::TPageDialog::Plain:
        Result = true;
        ShowPageDialog(browser, dialogType, messageText, defaultPromptText, callback);
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

void TFormMain::ShowPageDialog(const engine::BrowserRef& browser, engine::TJsDialogType dialogType,
                               const QString& messageText, const QString& defaultPromptText,
                               const engine::JsDialogCallbackRef& callback)
{
    // A silenced page gets its answer at once: nothing continued, so an alert returns, a
    // confirm yields false and a prompt no text.
    const int page = browser->GetIdentifier();
    if (DialogFlood.IsSuppressed(page))
        return;
    const bool confirm = dialogType == engine::JSDIALOGTYPE_CONFIRM;
    TAppMessageBox box(messageText, confirm ? MB_YESNO : MB_OK);
    if (confirm)
        box.SetCaption(QString());
    if (DialogFlood.BoxShown(page, qint64(SteadyMilliseconds())))
        box.AddCheckBox(SuppressDialogsLabel);
    callback->OnAbandoned(box.Closer());
    const int answer = box.Exec();
    if (box.CheckBoxTicked())
        DialogFlood.Suppress(page);
    if (confirm && answer == IDYES)
        callback->Continue(true, defaultPromptText);
}

core::TRestartPaths TFormMain::RestartPaths() const
{
    core::TRestartPaths paths;
    paths.AppDir = FileSystemPath(AppDir);
    paths.CacheDir = paths.AppDir + "cache/";
    paths.Executable =
        FileSystemPath(options_.ClientExecutable.isEmpty() ? QCoreApplication::applicationFilePath()
                                                           : options_.ClientExecutable);
    paths.LockPath = instanceMutex_ ? instanceMutex_->LockPath() : std::string();
    return paths;
}

bool TFormMain::StartRestart(const std::vector<std::string>& command, QString* error)
{
    std::string failure;
    if (!platform::StartDetached(command.front(), {command.begin() + 1, command.end()},
                                 FileSystemPath(AppDir), &failure)) {
        *error = QString::fromStdString(failure);
        return false;
    }
    RestartRequested = true;
    return true;
}

void TFormMain::ClearCacheAndRestart()
{
    Closing = true;
    ConfirmExit = false;
    ExitRequested = true;
    // A page may send the command again and again while the client ends: once is enough.
    if (!RestartRequested) {
        RestartRequested = true;
        const QString script = AppDir + QLatin1String(core::ClearCacheScriptName);
        QString error;
        if (!WriteScript(script, core::ClearCacheScript(RestartPaths()), &error))
            error = QStringLiteral("无法写入 %1（%2）").arg(script, error);
        else if (!StartRestart({"/bin/sh", FileSystemPath(script)}, &error))
            error = QStringLiteral("无法运行 %1（%2）").arg(script, error);
        if (!error.isEmpty()) {
            qCWarning(lcCommands).noquote() << "cache clearing:" << error;
            // Told before the close, which would take the box along.
            AppMessageBox(QStringLiteral("清除缓存失败：%1。\n客户端现在退出，不会自动重新启动，"
                                         "请稍后手动启动。")
                              .arg(error),
                          MB_WARNING);
        }
    }
    PostCloseRequest();
}

void TFormMain::NReloginClick(const engine::JsDialogCallbackRef& askingPage)
{
    if (RestartRequested)
        return;
    TAppMessageBox question(QStringLiteral("确定要重新登录吗？"), MB_CONFIRM);
    if (askingPage)
        askingPage->OnAbandoned(question.Closer());
    // Another restart may have been asked for while the question was open.
    if (question.Exec() != IDYES || RestartRequested)
        return;
    QString error;
    if (!StartRestart(core::RestartCommand(RestartPaths()), &error)) {
        qCWarning(lcCommands).noquote() << "re-login:" << error;
        AppMessageBox(QStringLiteral("无法重新登录：%1").arg(error), MB_WARNING);
        return;
    }
    ConfirmExit = false;
    NExitClick();
}
