#include "shared/Global.h"

#include "shared/DefaultServiceHost.h"
#include "shared/ZphConst.h"

QString AppDir;
TSystemSettings SystemSettings;

QString ConfigPath()
{
    return AppDir + QStringLiteral("config.ini");
}

core::IniFile ConfigFile()
{
    return core::IniFile(ConfigPath().toStdString());
}

QString ServiceHost()
{
    const auto host = ConfigFile().Find("SERVICE", "HOST");
    if (host && !host->empty())
        return QString::fromStdString(*host);
    return QStringLiteral(QUILLMARK_DEFAULT_SERVICE_HOST);
}

QString ServiceBaseUrl()
{
    return QStringLiteral("http://%1:%2").arg(ServiceHost()).arg(zph::ServicePort);
}
