#pragma once
// TFormMain: the client's one main window. It hides to the tray instead of closing,
// holds every browser view in a tab of PageControl1, turns popups into tabs, and
// starts the start-address and update-check tasks. Its methods are spread over files
// by concern: FormMain.cpp (life and tray), FormMainTabs.cpp (tab registry),
// FormMainStrip.cpp (strip drawing and mouse), FormMainPageEvents.cpp (page events),
// FormMainService.cpp (start address and update check), FormMainWindows.cpp (secondary
// windows), FormMainCommands.cpp (script dialogs, page commands, restarts),
// FormMainNotifications.cpp (tip clicks, notifications marked read),
// FormMainContextMenu.cpp (context menu, picture saving), FormMainDownloads.cpp
// (downloads panel, strip indicator, finished-download balloon), FormMainEnding.cpp
// (ending on signals and the session's end), FormMainNativeWindow.cpp (the native window
// made anew), FormMainRecovery.cpp (crashed renderers, an unreachable service).
// Owners of single concerns: TTrayNotifier (tray balloons and their blinking icon),
// TPopupGate (bounds on popups and secondary windows).
//
// Everything runs on the UI thread except BuildStartUrl and CheckForUpdate, which run
// on their own worker threads and reach the window only through its mailbox (posted
// messages).

#include <QAction>
#include <QList>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>

#include "core/DialogFloodGuard.h"
#include "core/PageRecovery.h"
#include "engine/Chromium.h"
#include "ui/BrowserTab.h"
#include "ui/FormMainOptions.h"
#include "ui/PageControl.h"
#include "ui/PopupGate.h"
#include "ui/TabRegistry.h"
#include "ui/TrayNotifier.h"
#include "ui/WindowMailbox.h"

namespace core {
struct TRestartPaths;
}
struct TDeployment;
namespace platform {
class InstanceLock;
}
namespace engine {
class TDownloadList;
}
class QWebEngineView;
class TBrowsingCommands;
class TDownloadIndicator;
class TFormDownloads;
struct TStartConnection;

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int TabInfoSlots = 1025;

    // appDir: the application directory with a trailing separator.
    explicit TFormMain(const QString& appDir, TFormMainOptions options = {},
                       QWidget* parent = nullptr);
    ~TFormMain() override;

    // Shows the window in the state read from config.ini.
    void ShowInitial();
    // The lock that keeps other instances out. Start-up owns it and releases it last,
    // after the engine has shut down; a restart waits for it. Null: no restart can wait.
    void SetInstanceMutex(const platform::InstanceLock* lock);
    // False on a desktop without a system tray: hiding would leave no way back.
    bool TrayAvailable;
    // Window state as stored in [WIN] STATE: 0 normal, 1 minimized, 2 maximized.
    int WindowStateValue() const;

    // Flags of the close path (UI thread only): ExitRequested false makes a close request
    // hide the window, ConfirmExit makes it ask first, Closing silences page events and
    // the strip.
    bool ExitRequested = false;
    bool ConfirmExit = false;
    bool Closing = false;

    // Controls of the window.
    TPageControl* PageControl1 = nullptr;
    TSkinTabSheet* bsSkinTabSheet1 = nullptr;
    TSkinTabSheet* bsSkinTabSheet2 = nullptr;
    engine::TChromium* crm = nullptr;
    QSystemTrayIcon* TrayIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* NShowMain = nullptr;
    QAction* NDownloads = nullptr;
    QAction* N1 = nullptr;
    QAction* NRelogin = nullptr;
    QAction* NSetting = nullptr;
    QAction* NAbout = nullptr;
    QAction* N2 = nullptr;
    QAction* NExit = nullptr;
    QTimer* TimerRefreshTab = nullptr;

    // Tabs.
    qint32 NextTabId = 0;
    std::unique_ptr<TTabRegistry> TabRegistry;
    std::array<TTabInfo, TabInfoSlots> TabInfos{};
    std::unique_ptr<QList<qint32>> LoadingPages;
    QPointer<QWidget> SparePageWindow;

    // Strip.
    QPoint PointerPos;
    // Steady-clock milliseconds and button of the last press not taken as a double click.
    double LastPressTime = 0;
    Qt::MouseButton LastPressButton = Qt::NoButton;

    // Start address; it arrives with message 2040 from its task.
    QString StartUrl;

    // Browsing: find, zoom, printing and the browsing keys for the active tab.
    TBrowsingCommands* Browsing = nullptr;
    // Addresses of the tabs closed last, newest first; Ctrl+Shift+T reopens them.
    static constexpr int ClosedTabsKept = 10;
    QStringList ClosedTabs;

    // Script dialogs: pages that show box after box may be silenced.
    core::TDialogFloodGuard DialogFlood;
    // A restart (cache clearing or re-login) has been asked for; there is at most one.
    bool RestartRequested = false;

    TTrayNotifier& TrayNotifier() const { return *trayNotifier_; }

    // Life and tray.
    void FormCreate();
    void FormCloseQuery(bool& CanClose);
    void FormDestroy();
    void FormResize();
    void NShowMainClick();
    void NExitClick();
    // A close request that runs after the current event, like a posted WM_CLOSE.
    void PostCloseRequest();
    // A termination signal or the session's end (FormMainEnding.cpp): ends the client as
    // "退出" answered with Yes does, without asking, also while a box is open or the
    // window is hidden. Later calls only log `reason`.
    void EndWithoutAsking(const QString& reason);
    // Posts a message to this window from any thread; dropped once it is destroyed.
    bool PostMessage(QEvent* message);

    // Tab registry.
    TBrowserTab* FindTab(qint32 id) const;
    TBrowserTab* ActiveTab() const;
    std::unique_ptr<TBrowserTab> NewTab(const engine::BrowserRef& browser, TSkinTabSheet* page);
    engine::TChromium* CreateBrowserView(TSkinTabSheet* page);
    void AddSparePage();
    engine::TChromium* OpenAddressTab(const QString& address);
    void OpenPopupTab(const TPopupInfo& info);
    void CloseTab(int p);
    void UpdateTabWidth();
    void PageControl1Change();
    void MarkTabsForFit();
    void FitTabBrowser(TBrowserTab* tab);
    static QRect PageSizeRect(const QWidget* window);

    // Page events.
    void crmBeforePopup(engine::TChromium* sender, const engine::BrowserRef& browser,
                        const engine::FrameRef& frame, const QString& targetUrl,
                        const QString& targetFrameName,
                        engine::TWindowOpenDisposition targetDisposition, bool userGesture,
                        const engine::PopupFeatures& popupFeatures, engine::WindowInfo& windowInfo,
                        engine::BrowserSettings& settings, bool& noJavascriptAccess, bool& Result);
    void crmTitleChange(engine::TChromium* sender, const engine::BrowserRef& browser,
                        const QString& title);
    void crmLoadingStateChange(engine::TChromium* sender, const engine::BrowserRef& browser,
                               bool isLoading, bool canGoBack, bool canGoForward);
    void UpdateTabLoadState(QWidget* browserWindow, bool loaded);
    void crmBeforeResourceLoad(engine::TChromium* sender, const engine::BrowserRef& browser,
                               const engine::FrameRef& frame, engine::Request& request,
                               engine::TReturnValue& Result);
    void crmBeforeDownload(engine::TChromium* sender, const engine::BrowserRef& browser,
                           const engine::DownloadItem& downloadItem, const QString& suggestedName,
                           const engine::DownloadCallbackRef& callback);
    void crmClose(engine::TChromium* sender, const engine::BrowserRef& browser, bool& Result);
    void crmAddressChange(engine::TChromium* sender, const engine::BrowserRef& browser,
                          const QUrl& url);
    void crmPrint(engine::TChromium* sender, const engine::BrowserRef& browser);

    // Browsing (FormMainBrowsing.cpp): find, zoom, printing and the browsing keys act on
    // the active tab; closed tabs can be reopened.
    // The browser view of the active tab; null when it has none.
    QWebEngineView* ActiveView() const;
    // Keeps the address of a tab that is being closed for ReopenClosedTab.
    void RememberClosedTab(const TSkinTabSheet* page);
    // Opens the address of the tab closed last as a new tab; does nothing when none is left.
    void ReopenClosedTab();

    TPopupGate& PopupGate() const { return *popupGate_; }

    // Strip drawing and mouse.
    void PageControl1DrawSkinTab(int p, const QRect& rect, QPainter& canvas);
    void PageControl1MouseDown(Qt::MouseButton button, int X, int Y);
    void PageControl1MouseMove(int X, int Y);
    void PageControl1MouseUp(Qt::MouseButton button, int X, int Y);
    // Fills the TabInfos rectangles from the strip's layout.
    void UpdateHitAreas();
    // Advances the loading animation of every loading tab, then repaints the strip.
    void TimerRefreshTabTimer();

    // Secondary windows. The two dialogs are modal; their menu item is disabled while
    // one is open, and a second call brings the open one to the front.
    void NSettingClick();
    void NAboutClick();
    // Message 2028: a new secondary browser window on the address.
    void WMOpenBrowserWindow(const QString& address);

    // Start address and update check. The two tasks run on worker threads, read only the
    // copy of the settings they were given, and reach the window only through its
    // mailbox, which stays safe after the window is gone. They end soon after it is.
    static void BuildStartUrl(const TWindowMailboxRef& mailbox, const TDeployment& deployment);
    static void CheckForUpdate(const TWindowMailboxRef& mailbox, const TDeployment& deployment);
    void WMLoadStartUrl(const QString& address);
    // Composes the start address again on a worker thread; it arrives with message 2040.
    void ComposeStartUrlAgain();
    // The user accepted an update and the updater has been started: end without asking.
    void WMUpdateAccepted();

    // Script dialogs and page commands.
    void crmJsdialog(engine::TChromium* sender, const engine::BrowserRef& browser,
                     const QString& originUrl, const QString& acceptLang,
                     engine::TJsDialogType dialogType, const QString& messageText,
                     const QString& defaultPromptText, const engine::JsDialogCallbackRef& callback,
                     bool& suppressMessage, bool& Result);
    void ClearCacheAndRestart();
    // The tray entry "重新登录" and the page command. `askingPage`: the dialog that carried
    // the command; the question closes (as No) when that page goes away.
    void NReloginClick(const engine::JsDialogCallbackRef& askingPage = nullptr);

    // Tip clicks.
    void WMTipClick(const QString& argument);
    // The window is in front again: the tray icon stops blinking.
    void MarkTipsRead();

    // Downloads: every download of the session, accepted into part files under
    // AppDir + "cache/downloads/"; the panel lists them, the strip shows while any runs.
    engine::TDownloadList* Downloads = nullptr;
    QPointer<TFormDownloads> FormDownloads;
    QPointer<TDownloadIndicator> DownloadIndicator;
    // The tray entry "下载" and the strip's indicator: shows the downloads panel.
    void NDownloadsClick();
    // Recovery of pages that cannot be shown (FormMainRecovery.cpp). A dead renderer
    // gets the client's own page with "重新加载"; the start tab reloads by itself once.
    // A start page that cannot be loaded gets a page with "重试" and is tried again,
    // with the start address composed afresh, after each of the options' retry pauses.
    // The start tab's view, once the start address has opened it.
    QPointer<engine::TChromium> StartView;
    // The start tab shows that the service cannot be reached (and retries).
    bool StartPageUnreachable() const;
    void crmLoadEnd(engine::TChromium* sender, const engine::BrowserRef& browser,
                    int httpStatusCode);
    void crmLoadError(engine::TChromium* sender, const engine::BrowserRef& browser,
                      const engine::LoadError& error);
    void crmLoadProgress(engine::TChromium* sender, const engine::BrowserRef& browser, int percent);
    void crmRenderProcessTerminated(engine::TChromium* sender, const engine::BrowserRef& browser,
                                    engine::TTerminationStatus status, int exitCode);
    // F5, "刷新" and the button of the client's own page: reloads the browser's page, or
    // tries the service again when the start tab cannot reach it.
    void ReloadBrowser(const engine::BrowserRef& browser);
    // Tries the start page again now, with a freshly composed start address.
    void RetryStartPage();

    // Context menu.
    void crmBeforeContextMenu(engine::TChromium* sender, const engine::BrowserRef& browser,
                              const engine::FrameRef& frame,
                              const engine::ContextMenuParams& params, engine::MenuModel& model);
    void crmContextMenuCommand(engine::TChromium* sender, const engine::BrowserRef& browser,
                               const engine::FrameRef& frame,
                               const engine::ContextMenuParams& params, int commandId,
                               int eventFlags, bool& Result);
    // Asks where to save the picture at `url`, then has `browser`'s page fetch it there.
    void SavePictureAs(const QString& url, const engine::BrowserRef& browser);

signals:
    // The window has really closed: the client ends.
    void Closed();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();
    void CreateTray();
    void WireBrowserView(engine::TChromium* view);
    void CreateShortcuts();
    // Writes [SYSTEM] HANDLE, the native window's id, for a second start to find.
    void PublishWindowHandle();
    // The native window has gone or been made anew; the window's state has changed.
    void NativeWindowChanged();
    void WindowStateChanged();
    void StartBackgroundTasks();
    void HideToTray();
    void SwitchTab(int step);
    void ShowPageDialog(const engine::BrowserRef& browser, engine::TJsDialogType dialogType,
                        const QString& messageText, const QString& defaultPromptText,
                        const engine::JsDialogCallbackRef& callback);
    core::TRestartPaths RestartPaths() const;
    // Starts `command` in AppDir; it waits by itself until this client has ended.
    bool StartRestart(const std::vector<std::string>& command, QString* error);
    void CreateDownloads();
    // Recovery (FormMainRecovery.cpp).
    TStartConnection& StartConnection();
    void AwaitStartPage();
    // A load of the start tab that goes to the service is awaited as the start page is.
    void WatchServiceLoad(engine::TChromium* sender, const engine::BrowserRef& browser);
    void ServiceUnreachable(const QString& reason);
    void ShowCrashPage(const engine::BrowserRef& browser);
    void SetStartCaption(const QString& caption);
    // The browsing keys (FormMainBrowsing.cpp).
    void CreateBrowsing();

    QString appDir_;
    const TFormMainOptions options_;
    const platform::InstanceLock* instanceMutex_ = nullptr;
    qint64 publishedHandle_ = 0;
    // The state and frame position of the native window the window system took away to
    // make it anew, and the state the new one is being brought back to
    // (FormMainNativeWindow.cpp).
    Qt::WindowStates stateOfLostWindow_;
    QPoint frameOfLostWindow_;
    // The stored frame position, until the window has been made anew: the window manager
    // may have framed the first window around that point instead of at it.
    std::optional<QPoint> storedFrame_;
    std::optional<Qt::WindowStates> restoringState_;
    // The window has accepted its close: the client ends.
    bool closeAccepted_ = false;
    QString pictureFolder_;
    TWindowMailboxRef mailbox_;
    std::unique_ptr<TStartConnection> startConnection_;
    bool startTabOpened_ = false;
    std::unique_ptr<TTrayNotifier> trayNotifier_;
    // Made by FormCreate, once config.ini has been tidied.
    std::unique_ptr<TPopupGate> popupGate_;
};
