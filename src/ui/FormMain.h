#pragma once
// TFormMain: the client's one main window. It hides to the tray instead of closing,
// holds every browser view in a tab of PageControl1, turns popups into tabs, and
// starts the start-address and update-check tasks. Its methods are spread over files
// by concern: FormMain.cpp (life and tray), FormMainTabs.cpp (tab registry),
// FormMainStrip.cpp (strip drawing and mouse), FormMainPageEvents.cpp (page events),
// FormMainService.cpp (start address and update check), FormMainWindows.cpp (secondary
// windows), FormMainCommands.cpp (script dialogs and page commands, see TRestarter),
// FormMainNotifications.cpp (notifications, tip clicks, tray animation),
// FormMainContextMenu.cpp (context menu, picture saving), FormMainDownloads.cpp
// (downloads panel, strip indicator, finished-download balloon), FormMainEnding.cpp
// (ending on signals and the session's end), FormMainRecovery.cpp (crashed renderers, an
// unreachable service), FormMainPopupBounds.cpp (bounds on popups). Where the window is:
// TWindowPlacement.
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

#include "core/PageRecovery.h"
#include "core/PopupBounds.h"
#include "engine/Chromium.h"
#include "engine/Notifications.h"
#include "ui/BrowserTab.h"
#include "ui/FormMainOptions.h"
#include "ui/PageControl.h"
#include "ui/Restarter.h"
#include "ui/TabRegistry.h"
#include "ui/WindowMailbox.h"
#include "ui/WindowPlacement.h"

namespace core {
class IniFile;
} // namespace core
struct TDeployment;
namespace engine {
class TDownload;
class TDownloadList;
} // namespace engine
class QWebEngineView;
class TBrowsingCommands;
class TDownloadIndicator;
class TFormDownloads;
struct TStartConnection;
class TNotificationSound;
class THeldBackNote;

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int TabInfoSlots = 1025;

    // The window's files are in AppDir, which must be set before.
    explicit TFormMain(TFormMainOptions options = {}, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Shows the window in the state read from config.ini.
    void ShowInitial();
    // False on a desktop without a system tray: hiding would leave no way back.
    bool TrayAvailable;
    TWindowPlacement& WindowPlacement() const { return *placement_; }

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

    TRestarter& Restarter() const { return *restarter_; }

    // Notifications. The tip on the tray's balloon and the one waiting for it: a flood
    // shows one balloon at a time, and only the latest waits.
    struct TTrayTip {
        QString Title;
        QString Body;
        QString Argument; // posted with 2029 when the balloon is clicked
        // A finished download's balloon: a click opens the downloads panel instead.
        bool OpensDownloads = false;
    };
    std::optional<TTrayTip> ShownTip;
    std::optional<TTrayTip> WaitingTip;
    // Notifications came while the window was not in front: the tray icon blinks.
    bool UnreadTips = false;
    QTimer* TimerTipBalloon = nullptr;
    QTimer* TimerTrayAnimation = nullptr;

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

    // Bounds on popups (FormMainPopupBounds.cpp): [SYSTEM] MAXTABS open tabs, and
    // MAXPOPUPS popups without a user gesture per chain in any 10 s, read at creation.
    // A popup over a bound is not opened; the strip's note tells how many were held back.
    core::TPopupBounds PopupBounds{core::TPopupBounds::DefaultMaxTabs,
                                   core::TPopupBounds::DefaultChainLimit};
    // What the bounds held back: popups, and secondary windows over [SYSTEM] MAXWINDOWS.
    THeldBackNote* PopupNote = nullptr;
    THeldBackNote* WindowNote = nullptr;

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

    // Notifications and tip clicks.
    void ShowNotification(const engine::Notification& notification);
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
    void CreateNotifications();
    void WireBrowserView(engine::TChromium* view);
    void CreateShortcuts();
    void StartBackgroundTasks();
    void HideToTray();
    void SwitchTab(int step);
    // Shows the tip on the tray's balloon, or after the one shown now.
    void QueueBalloon(const TTrayTip& tip);
    void ShowBalloon(const TTrayTip& tip);
    void CreateDownloads();
    void DownloadFinished(const engine::TDownload* download);
    void TipBalloonEnded();
    void AnimateTrayIcon();
    void ReadPopupBounds(const core::IniFile& ini);
    void HoldBackPopup(core::TPopupBounds::TVerdict verdict);
    void HoldBackWindow();
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

    const TFormMainOptions options_;
    std::unique_ptr<TRestarter> restarter_;
    std::unique_ptr<TWindowPlacement> placement_;
    // The window has accepted its close: the client ends.
    bool closeAccepted_ = false;
    std::unique_ptr<TNotificationSound> notificationSound_;
    int trayFrame_ = 0;
    QString pictureFolder_;
    TWindowMailboxRef mailbox_;
    std::unique_ptr<TStartConnection> startConnection_;
    bool startTabOpened_ = false;
};
