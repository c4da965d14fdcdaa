#include "ui/Restarter.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

#include "core/RestartScript.h"
#include "engine/Browser.h"
#include "engine/EngineDialog.h"
#include "platform/DetachedProcess.h"
#include "platform/InstanceLock.h"
#include "shared/Global.h"
#include "ui/AppMessageBox.h"
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

// A page's script dialog in the client's box: an alert with OK, a confirm with Yes and No,
// a prompt with a text field, OK and Cancel.
int PageDialogFlags(engine::TJsDialogType type)
{
    switch (type) {
    case engine::JSDIALOGTYPE_CONFIRM:
        return MB_YESNO;
    case engine::JSDIALOGTYPE_PROMPT:
        return MB_OKCANCEL;
    default:
        return MB_OK;
    }
}

// The dialogs the engine shows itself (a malformed command) in the same box, over the
// view, so that a closing page takes it along.
bool ShowEngineDialog(QWidget* view, engine::TJsDialogType type, const QString& caption,
                      const QString& message, const QString& defaultText, QString* input)
{
    TAppMessageBox box(message, PageDialogFlags(type), view);
    box.SetCaption(caption);
    if (type == engine::JSDIALOGTYPE_PROMPT)
        box.AddTextField(defaultText);
    const int answer = box.Exec();
    if (input && answer == IDOK)
        *input = box.TextFieldText();
    return answer == IDOK || answer == IDYES;
}

} // namespace

TRestarter::TRestarter(QString clientExecutable) : clientExecutable_(std::move(clientExecutable))
{
    engine::SetEngineDialogShow(&ShowEngineDialog);
}

void TRestarter::SetInstanceMutex(const platform::InstanceLock* lock)
{
    instanceMutex_ = lock;
}

void TRestarter::ShowPageDialog(const engine::BrowserRef& browser, engine::TJsDialogType dialogType,
                                const QString& messageText, const QString& defaultPromptText,
                                const engine::JsDialogCallbackRef& callback)
{
    // A silenced page gets its answer at once: nothing continued, so an alert returns, a
    // confirm yields false and a prompt no text.
    const int page = browser->GetIdentifier();
    if (dialogFlood_.IsSuppressed(page))
        return;
    const bool confirm = dialogType == engine::JSDIALOGTYPE_CONFIRM;
    const bool prompt = dialogType == engine::JSDIALOGTYPE_PROMPT;
    TAppMessageBox box(messageText, PageDialogFlags(dialogType));
    if (confirm)
        box.SetCaption(QString());
    if (prompt)
        box.AddTextField(defaultPromptText);
    if (dialogFlood_.BoxShown(page, qint64(SteadyMilliseconds())))
        box.AddCheckBox(SuppressDialogsLabel);
    callback->OnAbandoned(box.Closer());
    const int answer = box.Exec();
    if (box.CheckBoxTicked())
        dialogFlood_.Suppress(page);
    if (confirm && answer == IDYES)
        callback->Continue(true, defaultPromptText);
    else if (prompt && answer == IDOK)
        callback->Continue(true, box.TextFieldText());
}

void TRestarter::PageNavigated(int page)
{
    dialogFlood_.PageNavigated(page);
}

core::TRestartPaths TRestarter::RestartPaths() const
{
    core::TRestartPaths paths;
    paths.AppDir = FileSystemPath(AppDir);
    paths.CacheDir = paths.AppDir + "cache/";
    paths.Executable = FileSystemPath(
        clientExecutable_.isEmpty() ? QCoreApplication::applicationFilePath() : clientExecutable_);
    paths.LockPath = instanceMutex_ ? instanceMutex_->LockPath() : std::string();
    return paths;
}

bool TRestarter::StartRestart(const std::vector<std::string>& command, QString* error)
{
    std::string failure;
    if (!platform::StartDetached(command.front(), {command.begin() + 1, command.end()},
                                 FileSystemPath(AppDir), &failure)) {
        *error = QString::fromStdString(failure);
        return false;
    }
    restartRequested_ = true;
    return true;
}

void TRestarter::ClearCache()
{
    // A page may send the command again and again while the client ends: once is enough.
    if (restartRequested_)
        return;
    restartRequested_ = true;
    const QString script = AppDir + QLatin1String(core::ClearCacheScriptName);
    QString error;
    if (!WriteScript(script, core::ClearCacheScript(RestartPaths()), &error))
        error = QStringLiteral("无法写入 %1（%2）").arg(script, error);
    else if (!StartRestart({"/bin/sh", FileSystemPath(script)}, &error))
        error = QStringLiteral("无法运行 %1（%2）").arg(script, error);
    if (error.isEmpty())
        return;
    qCWarning(lcCommands).noquote() << "cache clearing:" << error;
    // Told before the window's close, which would take the box along.
    AppMessageBox(QStringLiteral("清除缓存失败：%1。\n客户端现在退出，不会自动重新启动，"
                                 "请稍后手动启动。")
                      .arg(error),
                  MB_WARNING);
}

bool TRestarter::Relogin(const engine::JsDialogCallbackRef& askingPage)
{
    if (restartRequested_)
        return false;
    TAppMessageBox question(QStringLiteral("确定要重新登录吗？"), MB_CONFIRM);
    if (askingPage)
        askingPage->OnAbandoned(question.Closer());
    // Another restart may have been asked for while the question was open.
    if (question.Exec() != IDYES || restartRequested_)
        return false;
    QString error;
    if (!StartRestart(core::RestartCommand(RestartPaths()), &error)) {
        qCWarning(lcCommands).noquote() << "re-login:" << error;
        AppMessageBox(QStringLiteral("无法重新登录：%1").arg(error), MB_WARNING);
        return false;
    }
    return true;
}
