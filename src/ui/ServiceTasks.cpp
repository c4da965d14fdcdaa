#include "ui/ServiceTasks.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringDecoder>
#include <QTimer>

#include "core/StartAddress.h"
#include "core/UpdateCheck.h"
#include "platform/DetachedProcess.h"
#include "platform/WorkstationIdentity.h"
#include "shared/Global.h"
#include "shared/ZphConst.h"
#include "ui/AppMessageBox.h"
#include "ui/PostedMessages.h"

Q_LOGGING_CATEGORY(lcService, "quillmark.service")

namespace {

constexpr int VersionFileTimeoutMs = 15000;
constexpr qint64 VersionFileMaxBytes = 1 << 20; // a version file is a few dozen bytes

constexpr int CancelPollMs = 100;

// GET of the version file on the calling (worker) thread, with a time limit. Gives up
// as soon as `window` is gone, so no check outlives the client for long.
std::optional<QByteArray> FetchVersionFile(const QUrl& url, const TWindowMailbox& window,
                                           QString* error)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(VersionFileTimeoutMs);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                     [&reply](qint64 received, qint64) {
                         if (received > VersionFileMaxBytes)
                             reply->abort();
                     });
    QTimer::singleShot(VersionFileTimeoutMs, &loop, [&reply] { reply->abort(); });
    QTimer windowWatch;
    QObject::connect(&windowWatch, &QTimer::timeout, &loop, [&] {
        if (!window.IsOpen())
            reply->abort();
    });
    windowWatch.start(CancelPollMs);
    if (!reply->isFinished())
        loop.exec();
    if (reply->error() != QNetworkReply::NoError) {
        *error = reply->errorString();
        return std::nullopt;
    }
    return reply->readAll();
}

// The updater to hand a new version to: [SYSTEM] UPDATER (an absolute path, set by the
// user or the administrator), else "Update" beside a copied client. An installed client
// has none of its own: the package manager owns its files. Empty when there is none.
QString FindUpdater(const TDeployment& deployment)
{
    QString updater = deployment.Setting("SYSTEM", "UPDATER");
#ifdef Q_OS_WIN
    const QString besideTheClient = deployment.AppDir + QStringLiteral("Update.exe");
#else
    const QString besideTheClient = deployment.AppDir + QStringLiteral("Update");
#endif
    if (updater.isEmpty() && !deployment.Installed)
        updater = besideTheClient;
    const QFileInfo file(updater);
    return file.isAbsolute() && file.isFile() && file.isExecutable() ? updater : QString();
}

// What to tell the user when a new version cannot be handed to an updater.
QString NoUpdaterMessage(const core::TVersionInfo& info, bool installed)
{
    const QString version = QString::fromStdString(info.Version);
    if (installed)
        return QStringLiteral(
                   "发现新版本 %1。\n本客户端随系统的软件包安装，请联系管理员用软件包管理器"
                   "更新 quillmark-erp（例如 apt upgrade）。")
            .arg(version);
    return QStringLiteral(
               "发现新版本 %1，但客户端旁没有更新程序 Update。\n请联系管理员获取新版本。")
        .arg(version);
}

std::string Gb18030ToUtf8(std::string_view bytes)
{
    QStringDecoder decoder("GB18030");
    const QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return text.toStdString();
}

} // namespace

void BuildStartUrl(TWindowMailboxRef mailbox, TDeployment deployment)
{
    try {
        const core::TWorkstationIdentity identity = platform::ReadWorkstationIdentity();
        const std::string address = core::BuildStartAddress(deployment.ServiceHost().toStdString(),
                                                            zph::ServicePort, identity);
        mailbox->Post(new TAddressMessage(zph::WM_LOADSTARTURL, QString::fromStdString(address)));
    } catch (const std::exception& e) {
        qCWarning(lcService) << "start address:" << e.what();
        // An empty address says it could not be composed, so a retry is not left waiting.
        mailbox->Post(new TAddressMessage(zph::WM_LOADSTARTURL, QString()));
    }
}

void CheckForUpdate(TWindowMailboxRef mailbox, TDeployment deployment)
{
    const QUrl url(deployment.ServiceBaseUrl() + QStringLiteral("/ver/ver.html"));
    QString fetchError;
    const auto body = FetchVersionFile(url, *mailbox, &fetchError);
    if (!body) {
        qCWarning(lcService) << "update check:" << url.toString() << fetchError;
        return;
    }
    const std::string text = core::DecodeVersionBody(
        std::string_view(body->constData(), size_t(body->size())), &Gb18030ToUtf8);
    std::string parseError;
    const auto info = core::ParseVersionFile(text, &parseError);
    if (!info) {
        qCWarning(lcService) << "update check:" << QString::fromStdString(parseError);
        return;
    }
    if (!core::IsNewVersion(*info, zph::AppVersion) || !mailbox->IsOpen())
        return;
    const QString updater = FindUpdater(deployment);
    if (updater.isEmpty()) {
        AppMessageBox(NoUpdaterMessage(*info, deployment.Installed), MB_OK | MB_ICONINFORMATION);
        return;
    }
    const QString question = QString::fromStdString(core::UpdateQuestion(*info));
    qCInfo(lcService) << "offering version" << QString::fromStdString(info->Version);
    if (AppMessageBox(question, MB_CONFIRM) != IDYES)
        return;

    const std::string exeName =
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
    // The client ends only once the updater runs: otherwise every tab would be lost for
    // nothing.
    if (!platform::StartDetached(updater.toStdString(), {core::UpdateRequestArgument(exeName)},
                                 deployment.AppDir.toStdString())) {
        AppMessageBox(QStringLiteral("无法启动更新程序 %1。\n客户端继续运行。").arg(updater),
                      MB_WARNING);
        return;
    }
    mailbox->Post(new QEvent(WM_UPDATEACCEPTED));
}
