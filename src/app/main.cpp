// Start-up: one client per user, then the engine, the main window and the event loop.

#include <QApplication>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QSessionManager>
#include <QSettings>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "app/ClientCommands.h"
#include "app/InstanceListener.h"
#include "core/CommandLine.h"
#include "core/CommonThread.h"
#include "core/HandOver.h"
#include "core/IniFile.h"
#include "engine/EngineProfile.h"
#include "platform/AppDirectory.h"
#include "platform/DescendantProcesses.h"
#include "platform/InstanceLock.h"
#include "platform/LocalPort.h"
#include "platform/ProcessInfo.h"
#include "platform/TerminationSignals.h"
#include "platform/ThreadPriority.h"
#include "shared/Global.h"
#include "shared/ZphConst.h"
#include "ui/AppMessageBox.h"
#include "ui/ConfigFileCare.h"
#include "ui/FormMain.h"
#include "ui/Restarter.h"
#include "ui/Translations.h"

Q_LOGGING_CATEGORY(lcStartup, "quillmark.app.startup")

namespace {

constexpr int HandOverAnswerTimeoutMs = 2000;
// The tasks end within moments of their window (a fetch gives up, a box answers at once).
constexpr std::chrono::seconds TaskJoinLimit{10};
// The engine's helpers end within moments of being asked.
constexpr std::chrono::seconds HelperEndLimit{3};

// A second start hands its command to the running client and ends; it never starts the
// engine, so the hand-over takes milliseconds. Returns the exit status: 0 when the
// running client took the command; 1 when a command other than showing the window could
// not be handed over (showing the window is best effort).
int HandOverToRunningInstance(const platform::InstanceLock& lock, const std::string& appDir,
                              const core::ClientCommand& command)
{
    const core::IniFile ini(appDir + "config.ini");
    const std::int64_t handle = ini.ReadInteger("SYSTEM", "HANDLE", 0);
    std::optional<std::string> answer;
    if (handle > 0)
        answer = platform::SendToRunningInstance(
            lock.ChannelPath(), core::FormatHandOver({handle, command}), HandOverAnswerTimeoutMs);
    if (command.What == core::ClientCommand::Kind::ShowWindow || answer == core::HandOverDone)
        return 0;
    std::cerr << "quillmark-erp: the running client did not take the request"
              << (answer ? " (it may be a client of another directory or an older version)\n"
                         : " (it did not answer)\n");
    return 1;
}

// Ends the process for --help and for a command line that is refused; nullopt otherwise.
std::optional<int> ExitForCommandLine(const core::ParsedCommandLine& parsed)
{
    if (parsed.Help) {
        std::cout << core::CommandLineUsage;
        return 0;
    }
    if (!parsed.Command) {
        std::cerr << "quillmark-erp: " << parsed.Error << "\n" << core::CommandLineUsage;
        return 2;
    }
    return std::nullopt;
}

// The developer tools' endpoint as config.ini asks for it; empty when off or when the port
// is taken (by another user's client, say), which is only logged.
QString RemoteDebugging(const core::IniFile& ini)
{
    std::int64_t port = ini.ReadInteger("SYSTEM", "DEBUGPORT", zph::DefaultDebugPort);
    if (port < 0 || port > 65535) {
        qCWarning(lcStartup) << "[SYSTEM] DEBUGPORT" << port << "is no port; using"
                             << zph::DefaultDebugPort;
        port = zph::DefaultDebugPort;
    }
    if (port == 0)
        return {};
    if (!platform::LoopbackPortFree(int(port))) {
        qCWarning(lcStartup) << "port" << port
                             << "is taken: running without the developer tools' endpoint";
        return {};
    }
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

// The directory for the client's files; an installed client that cannot use its
// per-user directory says so, here and in a box once the window is there.
platform::TAppDirectory ResolveAppDirectory()
{
    const std::string executableDirectory = platform::ExecutableDirectory();
    platform::TAppDirectory dir = platform::ResolveAppDirectory(
        executableDirectory, zph::DataDirectoryName, zph::InstallMarker);
    if (dir.Path.empty())
        dir.Path = executableDirectory;
    if (!dir.Problem.empty())
        std::cerr << "quillmark-erp: cannot use the data directory (" << dir.Problem
                  << "); settings are kept in " << dir.Path << " until the machine restarts\n";
    return dir;
}

void ShowDataDirectoryProblem(QWidget& window, const QString& problem)
{
    QTimer::singleShot(0, &window, [problem] {
        AppMessageBox(QStringLiteral("无法使用数据目录：%1。\n本次的设置只保留到电脑重新启动为止。")
                          .arg(problem),
                      MB_WARNING);
    });
}

void InstallThreadHooks()
{
    core::TCommonThread::SetSynchronizer([](const core::TCommonThread::TMethod& method) {
        QMetaObject::invokeMethod(
            qApp, [&method] { method(); }, Qt::BlockingQueuedConnection);
    });
    core::TCommonThread::SetPriorityHandler(&platform::ApplyThreadPriority);
}

// The engine's helper processes outlive its shutdown until this process ends: they are
// ended here, so that a restarted client, which waits for the lock, never meets them.
void EndEngineHelpers(const std::vector<platform::TProcessId>& seenRunning)
{
    if (const int ended =
            platform::EndDescendants(engine::HelperProgramName, HelperEndLimit, seenRunning))
        qCInfo(lcStartup) << ended << "engine processes ended";
}

// The first instance: the engine, the main window and the event loop, until the engine has
// shut down with the application object. Returns the exit status.
int RunClient(int argc, char* argv[], const platform::TAppDirectory& appDirectory,
              const core::ClientCommand& command, const platform::InstanceLock& lock,
              std::vector<platform::TProcessId>& engineHelpers)
{
    engine::PrepareEngineProcess({RemoteDebugging(core::IniFile(appDirectory.Path + "config.ini")),
                                  platform::RunningAsRoot()});
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(zph::AppTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(zph::AppVersion));
    // Ties the windows to the menu entry (Wayland app id, startup notification).
    QGuiApplication::setDesktopFileName(QStringLiteral("quillmark-erp"));
    QApplication::setQuitOnLastWindowClosed(false);
    LoadChineseTranslations(app);
    InstallThreadHooks();

    AppDir = QString::fromStdString(appDirectory.Path);
    // Qt's own dialogs keep what they remember (the file dialog's folders) in
    // QtProject.conf beside the client's files, not in the user's configuration.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, AppDir);
    engine::CreateProfile(AppDir + QStringLiteral("cache"));

    int exitCode = 0;
    {
        const QString channel = QString::fromStdString(lock.ChannelPath());
        TFormMain form;
        form.Restarter().SetInstanceMutex(&lock);
        InstanceListener listener(channel, &form);
        QObject::connect(&form, &TFormMain::Closed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        form.show();
        qCInfo(lcStartup) << "main window shown";
        if (!appDirectory.Problem.empty())
            ShowDataDirectoryProblem(form, QString::fromStdString(appDirectory.Problem));
        if (command.What != core::ClientCommand::Kind::ShowWindow)
            PostClientCommand(form, command);
        // The system's and the session's requests to end close the client as "退出" does.
        const platform::TerminationSignals endRequests(
            [&form](const char* name) { form.EndWithoutAsking(QString::fromLatin1(name)); });
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                         [&form] { form.EndWithoutAsking(QStringLiteral("the session ends")); });
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &form,
                         [&form] { form.EndWithoutAsking(QStringLiteral("quit")); });
        exitCode = app.exec();
        // The page processes go to another parent once the engine's process that made
        // them has ended: found now, while they are still this client's.
        engineHelpers = platform::FindDescendants(engine::HelperProgramName);
        // No event loop is left to answer a box that a task would ask now.
        EndMessageBoxes();
    }
    // The tasks use no window, but the application object and the logging: they must be
    // over before those go.
    const bool tasksEnded = core::TCommonThread::JoinAll(TaskJoinLimit);
    // Secondary windows and popup windows of their own still hold pages of the profile.
    // Windows with a parent (menus, dialogs) go with it.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!window->parentWidget())
            delete window;
    // The engine writes its cookies as the profile goes.
    engine::ShutdownEngine();
    if (!tasksEnded) {
        qCWarning(lcStartup) << "a background task is still running: ending without tearing down";
        EndEngineHelpers(engineHelpers);
        std::_Exit(exitCode);
    }
    qCInfo(lcStartup) << "engine shut down";
    return exitCode;
}

} // namespace

int main(int argc, char* argv[])
{
    const core::ParsedCommandLine parsed =
        core::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto status = ExitForCommandLine(parsed))
        return *status;
    const core::ClientCommand& command = *parsed.Command;

    const platform::TAppDirectory appDirectory = ResolveAppDirectory();
    const std::string& appDir = appDirectory.Path;
    // Released last, after the engine has shut down, written its files and its processes
    // have ended: a restarted client waits for it, so it never meets this one still ending.
    const platform::InstanceLock lock(zph::InstanceName);
    if (!lock.Acquired())
        return HandOverToRunningInstance(lock, appDir, command);
    MakeConfigWritesDurable();
    std::vector<platform::TProcessId> engineHelpers;
    const int exitCode = RunClient(argc, argv, appDirectory, command, lock, engineHelpers);
    EndEngineHelpers(engineHelpers);
    return exitCode;
}
