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

// AppDir + "config.ini". Safe from any thread once AppDir is set.
core::IniFile ConfigFile();
QString ConfigPath();

// The administrator's config.ini for every user of the machine (read only).
QString SystemConfigPath();
// Points the client at another system-wide file; for tests. Call before any window.
void SetSystemConfigPath(const QString& path);

// A value of config.ini, else of the system-wide file; empty when neither has it.
QString DeployedSetting(std::string_view section, std::string_view key);

// [SERVICE] HOST of config.ini, else of the system-wide file, else the build's default.
QString ServiceHost();
// "http://HOST:6868"; the start address, the version file and the about page share it.
QString ServiceBaseUrl();
