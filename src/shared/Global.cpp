#include "shared/Global.h"

#include "shared/Deployment.h"
#include "shared/ZphConst.h"

QString AppDir;
bool ClientInstalled = false;
TSystemSettings SystemSettings;

namespace {

QString systemConfigPath = QStringLiteral(QUILLMARK_SYSTEM_CONFIG);

} // namespace

QString SystemConfigPath()
{
    return systemConfigPath;
}

void SetSystemConfigPath(const QString& path)
{
    systemConfigPath = path;
}

QString ConfigPath()
{
    return AppDir + QStringLiteral("config.ini");
}

core::IniFile ConfigFile()
{
    return core::IniFile(ConfigPath().toStdString());
}

QString DeployedSetting(std::string_view section, std::string_view key)
{
    for (const core::IniFile& ini : {ConfigFile(), core::IniFile(systemConfigPath.toStdString())})
        if (const auto value = ini.Find(section, key); value && !value->empty())
            return QString::fromStdString(*value);
    return {};
}

QString ServiceHost()
{
    const QString host = DeployedSetting("SERVICE", "HOST");
    return host.isEmpty() ? QStringLiteral(QUILLMARK_DEFAULT_SERVICE_HOST) : host;
}

QString ServiceBaseUrl()
{
    return QStringLiteral("http://%1:%2").arg(ServiceHost()).arg(zph::ServicePort);
}
