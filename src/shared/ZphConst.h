#pragma once
// Fixed names and numbers of the client.

#include <QEvent>

#include "shared/Version.h"

namespace zph {

inline constexpr char AppTitle[] = "QuillmarkERP";
inline constexpr char AppVersion[] = QUILLMARK_VERSION;
inline constexpr char InstanceName[] = "BrowserQuillmark";
inline constexpr int ServicePort = 6868;
inline constexpr char EngineProfileName[] = "QuillmarkERP";
// The developer tools' endpoint on 127.0.0.1; [SYSTEM] DEBUGPORT changes it, 0 turns it off.
inline constexpr int DefaultDebugPort = 9000;
// Where the client keeps its files when installed: $XDG_DATA_HOME/QuillmarkERP/. An
// installed client's bin/ has the menu entry beside it.
inline constexpr char DataDirectoryName[] = "QuillmarkERP";
inline constexpr char InstallMarker[] = "../share/applications/quillmark-erp.desktop";
inline constexpr char EngineLocale[] = "zh-CN";

// Messages to the main window, posted as events of these types.
inline constexpr QEvent::Type WM_SHOWMAIN = QEvent::Type(2027);
inline constexpr QEvent::Type WM_OPENBROWSERWINDOW = QEvent::Type(2028);
inline constexpr QEvent::Type WM_TIPCLICK = QEvent::Type(2029);
inline constexpr QEvent::Type WM_NEWTAB = QEvent::Type(2036);
inline constexpr QEvent::Type WM_CLOSETAB = QEvent::Type(2039);
inline constexpr QEvent::Type WM_LOADSTARTURL = QEvent::Type(2040);

} // namespace zph
