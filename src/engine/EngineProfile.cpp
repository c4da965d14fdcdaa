#include "engine/EngineProfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QWebEngineNotification>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "engine/Notifications.h"
#include "shared/ZphConst.h"

namespace engine {
namespace {

QPointer<QWebEngineProfile> profile;
QPointer<TDownloadDispatcher> dispatcher;

// Points the application's data location somewhere else while it lives. The engine makes
// a named profile's first files (its preferences) there before a storage path can be set.
class DataLocationOverride {
public:
    explicit DataLocationOverride(const QString& path)
        : previous_(qgetenv(DataHome)), wasSet_(qEnvironmentVariableIsSet(DataHome))
    {
        qputenv(DataHome, QFile::encodeName(path));
    }
    ~DataLocationOverride()
    {
        if (wasSet_)
            qputenv(DataHome, previous_);
        else
            qunsetenv(DataHome);
    }
    DataLocationOverride(const DataLocationOverride&) = delete;
    DataLocationOverride& operator=(const DataLocationOverride&) = delete;

private:
    static constexpr const char* DataHome = "XDG_DATA_HOME";
    QByteArray previous_;
    bool wasSet_;
};

void AppendChromiumFlags(const QByteArray& flags)
{
    QByteArray current = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!current.isEmpty())
        current += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", current + flags);
}

} // namespace

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
    {
        // The copies of the client in different directories never share a file.
        const DataLocationOverride insideCache(cacheDir);
        profile = new QWebEngineProfile(QString::fromLatin1(zph::EngineProfileName));
    }
    profile->setPersistentStoragePath(cacheDir);
    profile->setCachePath(cacheDir);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile->setHttpAcceptLanguage(QString::fromLatin1(zph::EngineLocale));
    dispatcher = new TDownloadDispatcher(profile);
    profile->setNotificationPresenter(&PresentNotification);
    return profile;
}

QWebEngineProfile* Profile()
{
    return profile ? profile.data() : QWebEngineProfile::defaultProfile();
}

TDownloadDispatcher* DownloadDispatcher()
{
    return dispatcher;
}

void ShutdownEngine()
{
    delete profile.data();
}

} // namespace engine
