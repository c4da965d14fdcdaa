#pragma once
// TFormBrowser: a plain window with one browser view and no tabs, for pages that open
// outside the main window. Message 2028 opens one: the main window handles it, and so
// does every secondary window, which posts it to itself for each popup of its page, so
// every popup becomes a further secondary window (a blank one, which its opener writes
// into, is adopted into one); they are bounded as WindowBounds.h says. Script dialogs and the
// context menu are the engine's own. A secondary window owns itself: closing it frees it and its
// page; those still open when the client ends go with the other parentless windows before the
// engine shuts down. The browsing keys (find, zoom, print, back and forward) act on its
// page as they do on a tab of the main window, and its downloads ask their place over it
// and then join the client's downloads panel; a window whose page only downloaded closes
// once the download has its place. New windows cascade from the last one still open.
// UI thread only.

#include <QWidget>

#include "core/PopupBounds.h"
#include "engine/Chromium.h"

class QWebEngineView;
class TBrowsingCommands;
class THeldBackNote;

class TFormBrowser : public QWidget {
    Q_OBJECT
public:
    // Caption "浏览器" until the page names it; client area 1008 x 662.
    TFormBrowser();
    ~TFormBrowser() override;

    // A new secondary window showing `address` (about:blank when empty). Every call makes
    // one; the caller does not keep it.
    // `chain`: the chain of windows it belongs to (see WindowBounds.h).
    static TFormBrowser* Open(const QString& address, int chain);
    // Shows the window in front of the others (behind an open box).
    void ShowInFront();

    engine::TChromium* crm = nullptr;
    int Chain = 0;
    TBrowsingCommands* Browsing = nullptr;

    // The window's browser view (null until the engine has made it).
    QWebEngineView* View() const;

    void WMOpenBrowserWindow(const QString& address);
    void crmBeforePopup(engine::TChromium* sender, const engine::BrowserRef& browser,
                        const engine::FrameRef& frame, const QString& targetUrl,
                        const QString& targetFrameName,
                        engine::TWindowOpenDisposition targetDisposition, bool userGesture,
                        const engine::PopupFeatures& popupFeatures, engine::WindowInfo& windowInfo,
                        engine::BrowserSettings& settings, bool& noJavascriptAccess, bool& Result);
    void crmBeforeResourceLoad(engine::TChromium* sender, const engine::BrowserRef& browser,
                               const engine::FrameRef& frame, engine::Request& request,
                               engine::TReturnValue& Result);
    void crmTitleChange(engine::TChromium* sender, const engine::BrowserRef& browser,
                        const QString& title);
    void crmClose(engine::TChromium* sender, const engine::BrowserRef& browser, bool& Result);
    void crmAddressChange(engine::TChromium* sender, const engine::BrowserRef& browser,
                          const QUrl& address);
    void crmPrint(engine::TChromium* sender, const engine::BrowserRef& browser);
    void crmBeforeDownload(engine::TChromium* sender, const engine::BrowserRef& browser,
                           const engine::DownloadItem& item, const QString& suggestedName,
                           const engine::DownloadCallbackRef& callback);
    void crmLoadEnd(engine::TChromium* sender, const engine::BrowserRef& browser,
                    int httpStatusCode);
    void crmDownloadPlaced(engine::TChromium* sender, const engine::BrowserRef& browser);
    void FormClose(QCloseEvent& event);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The window that shows `browser`'s page: this one, or a popup's own.
    QWidget* WindowOf(const engine::BrowserRef& browser);
    void HoldBackPopup(core::TPopupBounds::TVerdict verdict, int maxWindows);

    THeldBackNote* popupNote_ = nullptr;
    // Windows admitted for this window's popups whose message 2028 is still on its way.
    int admittedWindows_ = 0;
    // The window's own page has shown something: a download from it leaves it open.
    bool pageShown_ = false;
};
