#pragma once
// The page of one browser: the policy side (script dialogs, new windows, certificate
// errors, close requests, downloads), all handed to the TChromium its popup chain started from;
// notification permissions go to the profile-wide policy (Notifications.h).

#include <QPointer>
#include <QWebEnginePage>
#include <memory>
#include <vector>

#include "engine/EngineTypes.h"

class QWebEngineDownloadRequest;
class QWebEngineUrlRequestInterceptor;

namespace engine {

class CallbackState;
class TChromium;
class TDownloadList;

class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    // `window` is the widget that shows the page; the page is its child.
    BrowserPage(QWebEngineProfile* profile, TChromium* root, QWidget* window, bool isPopup);

    const BrowserRef& GetBrowser() const { return browser_; }
    TChromium* Root() const { return root_; }
    // The BrowserPage behind any page of this layer, else null.
    static BrowserPage* From(QWebEnginePage* page);

    // A callback the engine waits for; abandoned when the page closes.
    void Track(const std::shared_ptr<CallbackState>& pending);
    // The page's widget is going away: pending callbacks are abandoned, the engine's own
    // dialogs closed, loading stopped; from now on the page opens no popup, dialog or
    // download.
    void Close();
    bool IsClosed() const { return closed_; }
    // A new download of this page, from the profile's dispatcher: it goes to the root
    // view's handler into `list`; cancelled when the root view is gone.
    void ReportDownload(QWebEngineDownloadRequest* request, TDownloadList* list);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;

private:
    // The widget that shows the page (its parent).
    QWidget* View() const;

    QPointer<TChromium> root_;
    BrowserRef browser_;
    bool closed_ = false;
    std::vector<std::weak_ptr<CallbackState>> pending_;
};

} // namespace engine
