// Start-up: one client per user, then the engine, the main window and the event loop.

#include <QApplication>
#include <QLoggingCategory>
#include <QMetaObject>
#include <memory>

#include "app/InstanceListener.h"
#include "core/CommonThread.h"
#include "core/IniFile.h"
#include "engine/EngineProfile.h"
#include "platform/InstanceLock.h"
#include "platform/ProcessInfo.h"
#include "platform/ThreadPriority.h"
#include "shared/Global.h"
#include "shared/ZphConst.h"
#include "ui/FormMain.h"
#include "ui/Translations.h"

Q_LOGGING_CATEGORY(lcStartup, "quillmark.app.startup")

namespace {

// A second start only tells the running client to show itself; it never starts the
// engine, so the hand-over takes milliseconds.
bool HandOverToRunningInstance(const platform::InstanceLock& lock, const std::string& appDir)
{
    if (lock.Acquired())
        return false;
    const core::IniFile ini(appDir + "config.ini");
    const std::int64_t handle = ini.ReadInteger("SYSTEM", "HANDLE", 0);
    if (handle > 0)
        platform::NotifyRunningInstance(lock.ChannelPath(), handle);
    return true;
}

void InstallThreadHooks()
{
    core::TCommonThread::SetSynchronizer([](const core::TCommonThread::TMethod& method) {
        QMetaObject::invokeMethod(
            qApp, [&method] { method(); }, Qt::BlockingQueuedConnection);
    });
    core::TCommonThread::SetPriorityHandler(&platform::ApplyThreadPriority);
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string appDir = platform::ExecutableDirectory();
    auto lock = std::make_unique<platform::InstanceLock>(zph::InstanceName);
    if (HandOverToRunningInstance(*lock, appDir))
        return 0;

    engine::PrepareEngineProcess(
        {QString::fromLatin1(zph::RemoteDebugging), platform::RunningAsRoot()});
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(zph::AppTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(zph::AppVersion));
    // Ties the windows to the menu entry (Wayland app id, startup notification).
    QGuiApplication::setDesktopFileName(QStringLiteral("quillmark-erp"));
    QApplication::setQuitOnLastWindowClosed(false);
    LoadChineseTranslations(app);
    InstallThreadHooks();

    AppDir = QString::fromStdString(appDir);
    engine::CreateProfile(AppDir + QStringLiteral("cache"));

    int exitCode = 0;
    {
        const QString channel = QString::fromStdString(lock->ChannelPath());
        TFormMain form(AppDir);
        form.SetInstanceMutex(std::move(lock));
        InstanceListener listener(channel, &form);
        QObject::connect(&form, &TFormMain::Closed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        form.ShowInitial();
        qCInfo(lcStartup) << "main window shown";
        exitCode = app.exec();
    }
    // A task still running would outlive the objects it uses.
    TFormMain::WaitForBackgroundTasks(2000);
    // Popup windows of their own still hold pages of the profile. Windows with a parent
    // (menus, dialogs) go with it.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!window->parentWidget())
            delete window;
    engine::ShutdownEngine();
    return exitCode;
}
