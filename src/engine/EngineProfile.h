#pragma once
// Engine start-up: the switches, fixed before QApplication exists, and the one
// persistent profile that every browser of the client uses. UI thread only.

#include <QString>

#include "engine/DownloadDispatcher.h"

class QWebEngineProfile;

namespace engine {

// The program of the engine's helper processes (zygotes, renderers, GPU, utilities).
inline constexpr char HelperProgramName[] = "QtWebEngineProcess";

struct EngineOptions {
    QString RemoteDebugging; // "host:port"; empty: no debugging endpoint
    bool DisableSandbox = false;
};

// Sets the engine's switches through the environment. Call before QApplication.
void PrepareEngineProcess(const EngineOptions& options);

// Creates the named, disk-backed profile with cache and storage in cacheDir (the
// cookie database "Cookies" lives there), accept-language "zh-CN", session cookies not
// kept across restarts, and notifications presented as Notifications.h says. Nothing of
// it is written outside cacheDir. Call once, after QApplication, before any other use of
// the engine.
QWebEngineProfile* CreateProfile(const QString& cacheDir);
// The profile made by CreateProfile, else the engine's default profile.
QWebEngineProfile* Profile();
// The dispatcher of the profile's downloads (DownloadDispatcher.h), made and owned by
// the profile of CreateProfile; null without one.
TDownloadDispatcher* DownloadDispatcher();
// Destroys the profile; every page must be gone.
void ShutdownEngine();

} // namespace engine
