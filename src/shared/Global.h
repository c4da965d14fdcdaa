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

// Directory of the executable with a trailing separator.
extern QString AppDir;
extern TSystemSettings SystemSettings;

// AppDir + "config.ini". Safe from any thread once AppDir is set.
core::IniFile ConfigFile();
QString ConfigPath();

// [SERVICE] HOST of config.ini, else the build's default host.
QString ServiceHost();
// "http://HOST:6868"; the start address, the version file and the about page share it.
QString ServiceBaseUrl();
