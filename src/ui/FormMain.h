#pragma once
// TFormMain: the client's one main window. It hides to the tray instead of closing and
// holds every browser view in a tab of PageControl1. Its controls, its close path and
// its message handling are its own; each page event and strip event is a short forward
// to the owner of the concern: the tab book (tabs), the strip controller (the strip),
// the service connection (the start tab's service), the tray notifier, the restarter,
// the window placement and the popup gate. UI thread only; other threads reach it
// through PostMessage.

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>
#include <optional>

#include "engine/Chromium.h"
#include "ui/BrowserTab.h"
#include "ui/FormMainOptions.h"
#include "ui/PageControl.h"
#include "ui/WindowMailbox.h"

namespace engine {
class TDownloadList;
}
class QWebEngineView;
class TBrowsingCommands;
class TDownloadIndicator;
class TFormDownloads;
class TPopupGate;
class TRestarter;
class TServiceConnection;
class TStripController;
class TTabBook;
class TTrayNotifier;
class TWindowPlacement;

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // The window's files are in AppDir, which must be set before.
    explicit TFormMain(TFormMainOptions options = {}, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Shows the window in the state read from config.ini.
    void ShowInitial();
    // False on a desktop without a system tray: hiding would leave no way back.
    bool TrayAvailable;

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

    // The owners of the window's concerns.
    TTabBook& Tabs() const { return *tabs_; }
    TStripController& StripControl() const { return *strip_; }
    TServiceConnection& Service() const { return *service_; }
    TPopupGate& PopupGate() const { return *popupGate_; }
    TTrayNotifier& TrayNotifier() const { return *trayNotifier_; }
    TRestarter& Restarter() const { return *restarter_; }
    TWindowPlacement& WindowPlacement() const { return *placement_; }

    // Browsing: find, zoom, printing and the browsing keys for the active tab.
    TBrowsingCommands* Browsing = nullptr;

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

    // Tabs (the tab book) and the strip (the strip controller).
    void PageControl1Change();
    void PageControl1DrawSkinTab(int p, const QRect& rect, QPainter& canvas);
    void PageControl1MouseDown(Qt::MouseButton button, int X, int Y);
    void PageControl1MouseUp(Qt::MouseButton button, int X, int Y);

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

    // Secondary windows. The two dialogs are modal; their menu item is disabled while
    // one is open, and a second call brings the open one to the front.
    void NSettingClick();
    void NAboutClick();
    // Message 2028: a new secondary browser window on the address.
    void WMOpenBrowserWindow(const QString& address);

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
    // Loads of the start tab's service and crashed renderers (the service connection).
    void crmLoadEnd(engine::TChromium* sender, const engine::BrowserRef& browser,
                    int httpStatusCode);
    void crmLoadError(engine::TChromium* sender, const engine::BrowserRef& browser,
                      const engine::LoadError& error);
    void crmLoadProgress(engine::TChromium* sender, const engine::BrowserRef& browser, int percent);
    void crmRenderProcessTerminated(engine::TChromium* sender, const engine::BrowserRef& browser,
                                    engine::TTerminationStatus status, int exitCode);
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
    void HideToTray();
    void CreateDownloads();
    // The browsing keys (FormMainBrowsing.cpp).
    void CreateBrowsing();

    const TFormMainOptions options_;
    std::unique_ptr<TRestarter> restarter_;
    std::unique_ptr<TWindowPlacement> placement_;
    // The window has accepted its close: the client ends.
    bool closeAccepted_ = false;
    QString pictureFolder_;
    TWindowMailboxRef mailbox_;
    std::unique_ptr<TTabBook> tabs_;
    TStripController* strip_ = nullptr;
    TServiceConnection* service_ = nullptr;
    std::unique_ptr<TTrayNotifier> trayNotifier_;
    // Made by FormCreate, once config.ini has been tidied.
    std::unique_ptr<TPopupGate> popupGate_;
};
