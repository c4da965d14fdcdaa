#pragma once
// The page of one browser: the policy side (script dialogs, new windows, certificate
// errors, close requests), all handed to the TChromium its popup chain started from.

#include <QPointer>
#include <QWebEnginePage>

#include "engine/EngineTypes.h"

class QWebEngineUrlRequestInterceptor;

namespace engine {

class TChromium;

class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    // `window` is the widget that shows the page; the page is its child.
    BrowserPage(QWebEngineProfile* profile, TChromium* root, QWidget* window, bool isPopup);

    const BrowserRef& GetBrowser() const { return browser_; }
    TChromium* Root() const { return root_; }
    // The BrowserPage behind any page of this layer, else null.
    static BrowserPage* From(QWebEnginePage* page);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;

private:
    QPointer<TChromium> root_;
    BrowserRef browser_;
};

} // namespace engine
