#include "engine/BrowserPage.h"

#include <QWebEngineCertificateError>
#include <QWebEngineNewWindowRequest>

#include "engine/Browser.h"
#include "engine/Chromium.h"
#include "engine/RequestInterceptor.h"

namespace engine {

BrowserPage::BrowserPage(QWebEngineProfile* profile, TChromium* root, QWidget* window, bool isPopup)
    : QWebEnginePage(profile, window), root_(root),
      browser_(std::make_shared<Browser>(this, window, isPopup))
{
    setUrlRequestInterceptor(new RequestInterceptor(this));
    // Invalid certificates are accepted, as the engine's switch says.
    connect(this, &QWebEnginePage::certificateError, this,
            [](QWebEngineCertificateError error) { error.acceptCertificate(); });
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) {
                if (root_)
                    root_->HandleNewWindow(this, request);
            });
    connect(this, &QWebEnginePage::windowCloseRequested, this, [this] {
        if (root_)
            root_->HandleClose(this);
    });
    if (root_)
        root_->Attach(this);
}

BrowserPage* BrowserPage::From(QWebEnginePage* page)
{
    return qobject_cast<BrowserPage*>(page);
}

void BrowserPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    bool handled = false;
    if (root_)
        root_->HandleJsDialog(this, JSDIALOGTYPE_ALERT, securityOrigin, msg, {}, &handled, nullptr);
    if (!handled)
        QWebEnginePage::javaScriptAlert(securityOrigin, msg);
}

bool BrowserPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    bool handled = false;
    bool answer = false;
    if (root_)
        answer = root_->HandleJsDialog(this, JSDIALOGTYPE_CONFIRM, securityOrigin, msg, {},
                                       &handled, nullptr);
    return handled ? answer : QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
}

bool BrowserPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                   const QString& defaultValue, QString* result)
{
    bool handled = false;
    bool answer = false;
    if (root_)
        answer = root_->HandleJsDialog(this, JSDIALOGTYPE_PROMPT, securityOrigin, msg, defaultValue,
                                       &handled, result);
    return handled ? answer
                   : QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}

} // namespace engine
