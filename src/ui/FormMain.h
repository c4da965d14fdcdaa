#pragma once
// TFormMain: the client's one main window, which hides to the tray instead of closing.
// Its controls, close path and messages are its own; each page, strip and tray event is
// a short forward to the owner of the concern (the README's table lists them). UI thread
// only; other threads reach it through PostMessage.

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QSystemTrayIcon>
#include <memory>

#include "engine/Chromium.h"
#include "ui/FormMainOptions.h"
#include "ui/PageControl.h"
#include "ui/WindowMailbox.h"

class TBrowsingCommands;
class TDownloadsPanel;
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
    bool TrayAvailable; // false without a system tray: hiding would leave no way back

    // The close path: ExitRequested false makes a close request hide the window,
    // ConfirmExit makes it ask first, Closing silences page events and the strip.
    bool ExitRequested = false;
    bool ConfirmExit = false;
    bool Closing = false;

    TPageControl* PageControl1 = nullptr;
    TSkinTabSheet* bsSkinTabSheet1 = nullptr; // the window's own view, tab hidden
    TSkinTabSheet* bsSkinTabSheet2 = nullptr; // the start tab
    engine::TChromium* crm = nullptr;
    QSystemTrayIcon* TrayIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction *NShowMain = nullptr, *NDownloads = nullptr, *N1 = nullptr, *NRelogin = nullptr,
            *NSetting = nullptr, *NAbout = nullptr, *N2 = nullptr, *NExit = nullptr;
    TBrowsingCommands* Browsing = nullptr; // find, zoom, printing, keys of the active tab

    // The owners of the window's concerns.
    TTabBook& Tabs() const { return *tabs_; }
    TStripController& StripControl() const { return *strip_; }
    TServiceConnection& Service() const { return *service_; }
    TPopupGate& PopupGate() const { return *popupGate_; }
    TTrayNotifier& TrayNotifier() const { return *trayNotifier_; }
    TRestarter& Restarter() const { return *restarter_; }
    TWindowPlacement& WindowPlacement() const { return *placement_; }
    TDownloadsPanel& DownloadsPanel() const { return *downloads_; }

    void FormCreate();
    void FormCloseQuery(bool& CanClose);
    void FormDestroy();
    void FormResize();
    void NShowMainClick();
    void NDownloadsClick();
    void NReloginClick(const engine::JsDialogCallbackRef& askingPage = nullptr);
    void NSettingClick();
    void NAboutClick();
    void NExitClick();
    void ClearCacheAndRestart();
    void PostCloseRequest(); // runs after the current event, like a posted WM_CLOSE
    // A termination signal or the session's end: ends the client as "退出" answered with
    // Yes does, without asking, also while a box is open or the window is hidden.
    void EndWithoutAsking(const QString& reason);
    bool PostMessage(QEvent* message); // from any thread; dropped once the window is gone
    void WMOpenBrowserWindow(const QString& address);
    void SavePictureAs(const QString& url, const engine::BrowserRef& browser);

    void PageControl1Change();
    void PageControl1DrawSkinTab(int p, const QRect& rect, QPainter& canvas);
    void PageControl1MouseDown(Qt::MouseButton button, int X, int Y);
    void PageControl1MouseUp(Qt::MouseButton button, int X, int Y);

    // Events of every browser view of the window and of the popups opened from them; the
    // parameters are those of the TChromium events (engine/Chromium.h).
    void crmBeforePopup(engine::TChromium*, const engine::BrowserRef&, const engine::FrameRef&,
                        const QString&, const QString&,
                        engine::TWindowOpenDisposition targetDisposition, bool userGesture,
                        const engine::PopupFeatures&, engine::WindowInfo& windowInfo,
                        engine::BrowserSettings&, bool&, bool& Result);
    void crmTitleChange(engine::TChromium*, const engine::BrowserRef&, const QString& title);
    void crmLoadingStateChange(engine::TChromium*, const engine::BrowserRef&, bool isLoading, bool,
                               bool);
    void crmBeforeResourceLoad(engine::TChromium*, const engine::BrowserRef&,
                               const engine::FrameRef&, engine::Request& request,
                               engine::TReturnValue&);
    void crmBeforeDownload(engine::TChromium*, const engine::BrowserRef&,
                           const engine::DownloadItem&, const QString& suggestedName,
                           const engine::DownloadCallbackRef& callback);
    void crmClose(engine::TChromium*, const engine::BrowserRef&, bool&);
    void crmAddressChange(engine::TChromium*, const engine::BrowserRef&, const QUrl& url);
    void crmPrint(engine::TChromium*, const engine::BrowserRef&);
    void crmJsdialog(engine::TChromium*, const engine::BrowserRef&, const QString&, const QString&,
                     engine::TJsDialogType dialogType, const QString& messageText,
                     const QString& defaultPromptText, const engine::JsDialogCallbackRef& callback,
                     bool&, bool& Result);
    void crmLoadEnd(engine::TChromium*, const engine::BrowserRef&, int);
    void crmLoadError(engine::TChromium*, const engine::BrowserRef&,
                      const engine::LoadError& error);
    void crmLoadProgress(engine::TChromium*, const engine::BrowserRef&, int percent);
    void crmRenderProcessTerminated(engine::TChromium*, const engine::BrowserRef&,
                                    engine::TTerminationStatus status, int exitCode);
    void crmBeforeContextMenu(engine::TChromium*, const engine::BrowserRef&,
                              const engine::FrameRef&, const engine::ContextMenuParams& params,
                              engine::MenuModel& model);
    void crmContextMenuCommand(engine::TChromium*, const engine::BrowserRef&,
                               const engine::FrameRef&, const engine::ContextMenuParams& params,
                               int commandId, int, bool&);

signals:
    void Closed(); // the window has really closed: the client ends

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();
    void CreateTray();
    void CreateShortcuts();
    void WireBrowserView(engine::TChromium* view);

    const TFormMainOptions options_;
    TWindowMailboxRef mailbox_;
    bool closeAccepted_ = false; // the client ends
    QString pictureFolder_;
    std::unique_ptr<TWindowPlacement> placement_;
    std::unique_ptr<TRestarter> restarter_;
    std::unique_ptr<TTabBook> tabs_;
    TStripController* strip_ = nullptr;
    TServiceConnection* service_ = nullptr;
    TDownloadsPanel* downloads_ = nullptr;
    std::unique_ptr<TTrayNotifier> trayNotifier_;
    std::unique_ptr<TPopupGate> popupGate_; // made once config.ini has been tidied
};
