#include "engine/BrowserPage.h"

#include <QDialog>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <algorithm>

#include "engine/Browser.h"
#include "engine/Callbacks.h"
#include "engine/CertificatePolicy.h"
#include "engine/Chromium.h"
#include "engine/EngineDialog.h"
#include "engine/Notifications.h"
#include "engine/RequestInterceptor.h"

namespace engine {

BrowserPage::BrowserPage(QWebEngineProfile* profile, TChromium* root, QWidget* window, bool isPopup)
    : QWebEnginePage(profile, window), root_(root),
      browser_(std::make_shared<Browser>(this, window, isPopup))
{
    setUrlRequestInterceptor(new RequestInterceptor(this));
    connect(this, &QWebEnginePage::certificateError, this, &AnswerCertificateError);
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) {
                if (root_ && !closed_)
                    root_->HandleNewWindow(this, request);
            });
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                if (feature == Notifications)
                    AnswerNotificationPermission(this, origin);
            });
    connect(this, &QWebEnginePage::windowCloseRequested, this, [this] {
        if (root_ && !closed_)
            root_->HandleClose(this);
    });
    if (root_)
        root_->Attach(this);
}

void BrowserPage::ReportDownload(QWebEngineDownloadRequest* request, TDownloadList* list)
{
    if (root_)
        root_->HandleDownload(this, request, list);
    else
        request->cancel();
}

QWidget* BrowserPage::View() const
{
    return qobject_cast<QWidget*>(parent());
}

BrowserPage* BrowserPage::From(QWebEnginePage* page)
{
    return qobject_cast<BrowserPage*>(page);
}

void BrowserPage::Track(const std::shared_ptr<CallbackState>& pending)
{
    std::erase_if(pending_, [](const auto& state) { return state.expired(); });
    pending_.push_back(pending);
}

void BrowserPage::Close()
{
    if (closed_)
        return;
    closed_ = true;
    triggerAction(QWebEnginePage::Stop);
    for (const auto& weak : std::exchange(pending_, {}))
        if (const auto state = weak.lock())
            state->Abandon();
    // The engine's own dialogs belong to the page's view.
    if (QWidget* view = View())
        for (QDialog* dialog : view->findChildren<QDialog*>())
            dialog->reject();
}

void BrowserPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    bool handled = closed_;
    if (root_ && !handled)
        root_->HandleJsDialog(this, JSDIALOGTYPE_ALERT, securityOrigin, msg, {}, &handled, nullptr);
    if (!handled && !closed_)
        RunEngineDialog(View(), JSDIALOGTYPE_ALERT, url(), msg, {}, nullptr);
}

bool BrowserPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    bool handled = closed_;
    bool answer = false;
    if (root_ && !handled)
        answer = root_->HandleJsDialog(this, JSDIALOGTYPE_CONFIRM, securityOrigin, msg, {},
                                       &handled, nullptr);
    if (handled || closed_)
        return answer;
    return RunEngineDialog(View(), JSDIALOGTYPE_CONFIRM, url(), msg, {}, nullptr);
}

bool BrowserPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                   const QString& defaultValue, QString* result)
{
    bool handled = closed_;
    bool answer = false;
    if (root_ && !handled)
        answer = root_->HandleJsDialog(this, JSDIALOGTYPE_PROMPT, securityOrigin, msg, defaultValue,
                                       &handled, result);
    if (handled || closed_)
        return answer;
    return RunEngineDialog(View(), JSDIALOGTYPE_PROMPT, url(), msg, defaultValue, result);
}

} // namespace engine
