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

QString TDeployment::ConfigPath() const
{
    return AppDir + QStringLiteral("config.ini");
}

core::IniFile TDeployment::ConfigFile() const
{
    return core::IniFile(ConfigPath().toStdString());
}

QString TDeployment::Setting(std::string_view section, std::string_view key) const
{
    for (const core::IniFile& ini : {ConfigFile(), core::IniFile(SystemConfigPath.toStdString())})
        if (const auto value = ini.Find(section, key); value && !value->empty())
            return QString::fromStdString(*value);
    return {};
}

QString TDeployment::ServiceHost() const
{
    const QString host = Setting("SERVICE", "HOST");
    return host.isEmpty() ? QStringLiteral(QUILLMARK_DEFAULT_SERVICE_HOST) : host;
}

QString TDeployment::ServiceBaseUrl() const
{
    return QStringLiteral("http://%1:%2").arg(ServiceHost()).arg(zph::ServicePort);
}

TDeployment CurrentDeployment()
{
    return {AppDir, systemConfigPath, ClientInstalled};
}

QString ConfigPath()
{
    return CurrentDeployment().ConfigPath();
}

core::IniFile ConfigFile()
{
    return CurrentDeployment().ConfigFile();
}

QString DeployedSetting(std::string_view section, std::string_view key)
{
    return CurrentDeployment().Setting(section, key);
}

QString ServiceHost()
{
    return CurrentDeployment().ServiceHost();
}

QString ServiceBaseUrl()
{
    return CurrentDeployment().ServiceBaseUrl();
}
