#include "engine/EngineProfile.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNotification>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "engine/Chromium.h"
#include "engine/Notifications.h"
#include "shared/ZphConst.h"

namespace engine {
namespace {

QPointer<QWebEngineProfile> profile;

void AppendChromiumFlags(const QByteArray& flags)
{
    QByteArray current = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!current.isEmpty())
        current += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", current + flags);
}

} // namespace

void DispatchDownload(QWebEngineDownloadRequest* download);

void PrepareEngineProcess(const EngineOptions& options)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    AppendChromiumFlags(QByteArray("--lang=") + zph::EngineLocale);
    if (!options.RemoteDebugging.isEmpty())
        qputenv("QTWEBENGINE_REMOTE_DEBUGGING", options.RemoteDebugging.toLatin1());
    if (options.DisableSandbox)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

QWebEngineProfile* CreateProfile(const QString& cacheDir)
{
    profile = new QWebEngineProfile(QString::fromLatin1(zph::EngineProfileName));
    profile->setPersistentStoragePath(cacheDir);
    profile->setCachePath(cacheDir);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile->setHttpAcceptLanguage(QString::fromLatin1(zph::EngineLocale));
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, &DispatchDownload);
    profile->setNotificationPresenter(&PresentNotification);
    return profile;
}

QWebEngineProfile* Profile()
{
    return profile ? profile.data() : QWebEngineProfile::defaultProfile();
}

void ShutdownEngine()
{
    delete profile.data();
}

} // namespace engine
