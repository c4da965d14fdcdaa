#pragma once
// TChromium: a browser view widget that fills its parent and reports the engine's
// events to handlers set by its owner. The events of popups opened from it, and of
// their popups in turn, are reported through the same handlers with the popup's own
// browser. Handlers answer through their out-parameters; a handler left unset, or one
// that leaves them alone, keeps the engine's default behaviour. UI thread only.

#include <QPointer>
#include <QWidget>
#include <functional>

#include "engine/Browser.h"
#include "engine/Callbacks.h"
#include "engine/EngineTypes.h"
#include "engine/MenuModel.h"
#include "engine/Request.h"

class QWebEngineNewWindowRequest;
class QWebEngineDownloadRequest;
class QWebEngineLoadingInfo;

namespace engine {

class BrowserPage;
class BrowserView;
class TDownload;
class TDownloadList;

// Closes every browser inside `container` (its own and its popups') before the
// container is deleted: see the rules in Callbacks.h.
void CloseBrowsersIn(QWidget* container);

class TChromium : public QWidget {
    Q_OBJECT
public:
    explicit TChromium(QWidget* parent = nullptr);
    ~TChromium() override;

    // First address, loaded when the view gets its browser on being shown.
    QString DefaultUrl;
    QString DefaultEncoding;
    int Tag = 0;

    // Null until the view has made its browser (on Load or when first shown).
    BrowserRef Browser() const { return browser_; }
    // The browser's own window (a child of this view); null before the browser exists.
    QWidget* BrowserWindow() const;
    // Makes the browser if needed, then loads the address in its main frame.
    void Load(const QString& address);

    std::function<void(TChromium* sender, const BrowserRef& browser, const FrameRef& frame,
                       const ContextMenuParams& params, MenuModel& model)>
        OnBeforeContextMenu;
    std::function<void(TChromium* sender, const BrowserRef& browser, const FrameRef& frame,
                       const ContextMenuParams& params, int commandId, int eventFlags,
                       bool& Result)>
        OnContextMenuCommand;
    std::function<void(TChromium* sender, const BrowserRef& browser, bool isLoading, bool canGoBack,
                       bool canGoForward)>
        OnLoadingStateChange;
    std::function<void(TChromium* sender, const BrowserRef& browser, const QString& title)>
        OnTitleChange;
    // The download already runs into a part file of the dispatcher's list
    // (DownloadDispatcher.h; without a list, or without this handler, it is cancelled);
    // the callback's answer, whenever it comes, gives it its place.
    std::function<void(TChromium* sender, const BrowserRef& browser,
                       const DownloadItem& downloadItem, const QString& suggestedName,
                       const DownloadCallbackRef& callback)>
        OnBeforeDownload;
    // A download handed to OnBeforeDownload got its place, or was cancelled without one:
    // nothing about it is asked any more. Once per download.
    std::function<void(TChromium* sender, const BrowserRef& browser)> OnDownloadPlaced;
    std::function<void(TChromium* sender, const BrowserRef& browser, const QString& originUrl,
                       const QString& acceptLang, TJsDialogType dialogType,
                       const QString& messageText, const QString& defaultPromptText,
                       const JsDialogCallbackRef& callback, bool& suppressMessage, bool& Result)>
        OnJsdialog;
    // Result true cancels the popup. Otherwise the popup is made as windowInfo says.
    std::function<void(TChromium* sender, const BrowserRef& browser, const FrameRef& frame,
                       const QString& targetUrl, const QString& targetFrameName,
                       TWindowOpenDisposition targetDisposition, bool userGesture,
                       const PopupFeatures& popupFeatures, WindowInfo& windowInfo,
                       BrowserSettings& settings, bool& noJavascriptAccess, bool& Result)>
        OnBeforePopup;
    // Result false: the engine closes a top-level popup window itself; an embedded
    // browser is left to its owner.
    std::function<void(TChromium* sender, const BrowserRef& browser, bool& Result)> OnClose;
    // The page's address changed: a navigation committed, also one within the document.
    std::function<void(TChromium* sender, const BrowserRef& browser, const QUrl& url)>
        OnAddressChange;
    // A main-frame load ended well; httpStatusCode 0 for pages not served over HTTP.
    std::function<void(TChromium* sender, const BrowserRef& browser, int httpStatusCode)> OnLoadEnd;
    // A main-frame load failed (also one that was stopped); the engine shows its own
    // error page unless the owner covers it.
    std::function<void(TChromium* sender, const BrowserRef& browser, const LoadError& error)>
        OnLoadError;
    // Progress of a main-frame load, 0 to 100; above 0 once the answer has begun to
    // arrive (or the load failed).
    std::function<void(TChromium* sender, const BrowserRef& browser, int percent)> OnLoadProgress;
    // The page's renderer process ended unexpectedly: the page shows nothing until it
    // is reloaded.
    std::function<void(TChromium* sender, const BrowserRef& browser, TTerminationStatus status,
                       int exitCode)>
        OnRenderProcessTerminated;
    // The page called window.print().
    std::function<void(TChromium* sender, const BrowserRef& browser)> OnPrint;
    // Result RV_CANCEL blocks the request.
    std::function<void(TChromium* sender, const BrowserRef& browser, const FrameRef& frame,
                       Request& request, TReturnValue& Result)>
        OnBeforeResourceLoad;

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend class BrowserPage;
    friend class BrowserView;

    void EnsureBrowser();
    // Wires a page (this view's own or a popup's) to this view's handlers.
    void Attach(BrowserPage* page);
    void ReportLoadResult(BrowserPage* page, const QWebEngineLoadingInfo& info);
    void HandleNewWindow(BrowserPage* opener, QWebEngineNewWindowRequest& request);
    bool HandleJsDialog(BrowserPage* page, TJsDialogType type, const QUrl& origin,
                        const QString& message, const QString& defaultText, bool* handled,
                        QString* input);
    void HandleClose(BrowserPage* page);
    void HandleDownload(BrowserPage* page, QWebEngineDownloadRequest* download,
                        TDownloadList* list);
    // Calls OnDownloadPlaced once `download`, of `page`, has its place or is cancelled.
    void ReportPlacement(BrowserPage* page, TDownload* download);

    BrowserRef browser_;
    QPointer<BrowserView> view_;
};

} // namespace engine
