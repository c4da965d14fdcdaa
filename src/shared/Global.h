#pragma once
// Process-wide state shared by the windows: the application directory, the switches
// of config.ini and the service host. Touched on the UI thread unless noted.

#include <QString>

#include "core/IniFile.h"

struct TSystemSettings {
    bool AutoStart = true;
    bool SoundHint = true;
    bool PopupHint = true;
};

// Where the client keeps its files, with a trailing separator: beside the executable, or
// the per-user data directory of an installed client.
extern QString AppDir;
// True for an installed client (its files in the per-user data directory), whose files
// the package manager owns.
extern bool ClientInstalled;
extern TSystemSettings SystemSettings;

// Where the client's settings come from, as values: a background task takes a copy when
// it starts and never reads the globals above, which the UI thread may change meanwhile.
struct TDeployment {
    QString AppDir;           // with a trailing separator
    QString SystemConfigPath; // the administrator's file
    bool Installed = false;   // as ClientInstalled

    // AppDir + "config.ini".
    QString ConfigPath() const;
    core::IniFile ConfigFile() const;
    // A value of config.ini, else of the system-wide file; empty when neither has it.
    QString Setting(std::string_view section, std::string_view key) const;
    // [SERVICE] HOST of config.ini, else of the system-wide file, else the build's default.
    QString ServiceHost() const;
    // "http://HOST:6868"; the start address, the version file and the about page share it.
    QString ServiceBaseUrl() const;
};
// The globals as they are now. UI thread.
TDeployment CurrentDeployment();

// The same, for the UI thread, from the globals.
core::IniFile ConfigFile();
QString ConfigPath();

// The administrator's config.ini for every user of the machine (read only).
QString SystemConfigPath();
// Points the client at another system-wide file; for tests. Call before any window.
void SetSystemConfigPath(const QString& path);

QString DeployedSetting(std::string_view section, std::string_view key);
QString ServiceHost();
QString ServiceBaseUrl();
