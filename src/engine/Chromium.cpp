#include "engine/Chromium.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "engine/BrowserPage.h"
#include "engine/BrowserView.h"
#include "engine/DownloadList.h"
#include "engine/EngineProfile.h"
#include "engine/RequestInterceptor.h"

namespace engine {
namespace {

constexpr QSize DefaultPopupSize(800, 600);

TWindowOpenDisposition DispositionOf(QWebEngineNewWindowRequest::DestinationType type)
{
    switch (type) {
    case QWebEngineNewWindowRequest::InNewTab:
        return WOD_NEW_FOREGROUND_TAB;
    case QWebEngineNewWindowRequest::InNewBackgroundTab:
        return WOD_NEW_BACKGROUND_TAB;
    case QWebEngineNewWindowRequest::InNewWindow:
        return WOD_NEW_WINDOW;
    case QWebEngineNewWindowRequest::InNewDialog:
        return WOD_NEW_POPUP;
    }
    return WOD_UNKNOWN;
}

PopupFeatures FeaturesOf(const QRect& geometry)
{
    PopupFeatures features;
    if (geometry.isNull())
        return features;
    features.X = geometry.x();
    features.Y = geometry.y();
    features.Width = geometry.width();
    features.Height = geometry.height();
    features.XSet = features.YSet = true;
    features.WidthSet = geometry.width() > 0;
    features.HeightSet = geometry.height() > 0;
    return features;
}

TTerminationStatus TerminationStatusOf(QWebEnginePage::RenderProcessTerminationStatus status)
{
    switch (status) {
    case QWebEnginePage::KilledTerminationStatus:
        return TS_PROCESS_WAS_KILLED;
    case QWebEnginePage::CrashedTerminationStatus:
        return TS_PROCESS_CRASHED;
    default:
        return TS_ABNORMAL_TERMINATION;
    }
}

void ApplyEncoding(QWebEnginePage* page, const QString& encoding)
{
    if (!encoding.isEmpty())
        page->settings()->setDefaultTextEncoding(encoding);
}

// The pending state inside a callback's answer, for the page to abandon.
template <class Answer>
std::shared_ptr<CallbackState> StateOf(const std::shared_ptr<Answer>& answer)
{
    return std::shared_ptr<CallbackState>(answer, &answer->State);
}

} // namespace

void CloseBrowsersIn(QWidget* container)
{
    if (!container)
        return;
    for (BrowserPage* page : container->findChildren<BrowserPage*>())
        page->Close();
}

TChromium::TChromium(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

TChromium::~TChromium()
{
    CloseBrowsersIn(this);
}

QWidget* TChromium::BrowserWindow() const
{
    return view_;
}

void TChromium::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!browser_ && !DefaultUrl.isEmpty())
        Load(DefaultUrl);
}

void TChromium::EnsureBrowser()
{
    if (browser_)
        return;
    view_ = new BrowserView(this);
    auto* page = new BrowserPage(Profile(), this, view_, false);
    ApplyEncoding(page, DefaultEncoding);
    view_->setPage(page);
    layout()->addWidget(view_);
    browser_ = page->GetBrowser();
}

void TChromium::Load(const QString& address)
{
    EnsureBrowser();
    browser_->GetMainFrame()->LoadURL(address);
}

void TChromium::Attach(BrowserPage* page)
{
    connect(page, &QWebEnginePage::titleChanged, this, [this, page](const QString& title) {
        if (OnTitleChange)
            OnTitleChange(this, page->GetBrowser(), title);
    });
    auto reportLoading = [this, page](bool isLoading) {
        if (OnLoadingStateChange)
            OnLoadingStateChange(this, page->GetBrowser(), isLoading, page->history()->canGoBack(),
                                 page->history()->canGoForward());
    };
    connect(page, &QWebEnginePage::loadStarted, this, [reportLoading] { reportLoading(true); });
    connect(page, &QWebEnginePage::loadFinished, this, [reportLoading] { reportLoading(false); });
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this, page](const QWebEngineLoadingInfo& info) { ReportLoadResult(page, info); });
    connect(page, &QWebEnginePage::loadProgress, this, [this, page](int percent) {
        if (OnLoadProgress)
            OnLoadProgress(this, page->GetBrowser(), percent);
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this, page](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                // A renderer that ends normally belongs to a page that is going away.
                if (status == QWebEnginePage::NormalTerminationStatus || page->IsClosed() ||
                    !OnRenderProcessTerminated)
                    return;
                OnRenderProcessTerminated(this, page->GetBrowser(), TerminationStatusOf(status),
                                          exitCode);
            });
    connect(page, &QWebEnginePage::urlChanged, this, [this, page](const QUrl& url) {
        if (OnAddressChange)
            OnAddressChange(this, page->GetBrowser(), url);
    });
    connect(page, &QWebEnginePage::printRequested, this, [this, page] {
        if (OnPrint && !page->IsClosed())
            OnPrint(this, page->GetBrowser());
    });
}

void TChromium::ReportLoadResult(BrowserPage* page, const QWebEngineLoadingInfo& info)
{
    const bool http = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain;
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
        if (OnLoadEnd)
            OnLoadEnd(this, page->GetBrowser(), http ? info.errorCode() : 0);
    } else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
        if (OnLoadError)
            OnLoadError(this, page->GetBrowser(),
                        LoadError{info.url(), http, info.errorCode(), info.errorString()});
    }
}

void TChromium::HandleNewWindow(BrowserPage* opener, QWebEngineNewWindowRequest& request)
{
    // The engine refuses these at the top level: their popup would stay empty.
    const QString scheme = request.requestedUrl().scheme();
    if (scheme == QLatin1String("javascript") || scheme == QLatin1String("data"))
        return;
    WindowInfo windowInfo;
    BrowserSettings settings{DefaultEncoding};
    bool noJavascriptAccess = false;
    bool cancel = false;
    if (OnBeforePopup) {
        const BrowserRef& browser = opener->GetBrowser();
        OnBeforePopup(this, browser, browser->GetMainFrame(), request.requestedUrl().toString(),
                      QString(), DispositionOf(request.destination()), request.isUserInitiated(),
                      FeaturesOf(request.requestedGeometry()), windowInfo, settings,
                      noJavascriptAccess, cancel);
    }
    if (cancel)
        return;

    auto* view = new BrowserView(windowInfo.ParentWindow);
    if (!windowInfo.WindowName.isEmpty())
        view->setObjectName(windowInfo.WindowName);
    auto* page = new BrowserPage(opener->profile(), this, view, true);
    view->setPage(page);
    // A page that has loaded once holds the engine's preferences.
    page->load(QUrl(QStringLiteral("about:blank")));

    if (auto* host = qobject_cast<TChromium*>(windowInfo.ParentWindow)) {
        // An empty browser view takes the popup as its own browser window.
        host->layout()->addWidget(view);
    } else if (windowInfo.ParentWindow) {
        QSize size(windowInfo.Width, windowInfo.Height);
        if (size.isEmpty())
            size = windowInfo.ParentWindow->size();
        view->setGeometry(QRect(QPoint(windowInfo.X, windowInfo.Y), size));
    } else {
        // A popup of its own: a top-level window that follows its page's title.
        view->setAttribute(Qt::WA_DeleteOnClose);
        QRect geometry = request.requestedGeometry();
        if (windowInfo.Width > 0 && windowInfo.Height > 0)
            geometry = QRect(windowInfo.X, windowInfo.Y, windowInfo.Width, windowInfo.Height);
        if (geometry.isEmpty()) {
            view->resize(DefaultPopupSize);
        } else {
            view->move(geometry.topLeft());
            view->resize(geometry.size());
        }
        connect(page, &QWebEnginePage::titleChanged, view, &QWidget::setWindowTitle);
    }
    request.openIn(page);
    // The engine gives a popup it made without navigating (window.open('') and then
    // document.write: a print view, a report) no preferences of its own, and crashes the
    // client on its first paint. A setting changed now hands the page's preferences to
    // the adopted contents.
    page->settings()->setDefaultTextEncoding(settings.DefaultEncoding.isEmpty()
                                                 ? page->settings()->defaultTextEncoding()
                                                 : settings.DefaultEncoding);
    // Adopting the popup's contents drops the interceptor set on the page before.
    page->setUrlRequestInterceptor(
        page->findChild<RequestInterceptor*>(QString(), Qt::FindDirectChildrenOnly));
    view->show();
}

bool TChromium::HandleJsDialog(BrowserPage* page, TJsDialogType type, const QUrl& origin,
                               const QString& message, const QString& defaultText, bool* handled,
                               QString* input)
{
    *handled = false;
    if (!OnJsdialog)
        return false;
    auto answer = std::make_shared<JsDialogCallback::Answer>();
    page->Track(StateOf(answer));
    bool suppressMessage = false;
    bool result = false;
    {
        auto callback = std::make_shared<JsDialogCallback>(answer);
        OnJsdialog(this, page->GetBrowser(), origin.toString(),
                   page->profile()->httpAcceptLanguage(), type, message, defaultText, callback,
                   suppressMessage, result);
    }
    // The handler's box may have run while the page closed: nothing more to ask.
    if (answer->State.Abandoned()) {
        *handled = true;
        return false;
    }
    if (result) {
        answer->State.WaitUntilSettled();
        *handled = true;
        if (input && answer->Success)
            *input = answer->UserInput;
        return answer->Success;
    }
    // A suppressed dialog is answered as cancelled without being shown.
    *handled = suppressMessage;
    return false;
}

void TChromium::HandleClose(BrowserPage* page)
{
    bool result = false;
    // A copy: the handler may let the page go.
    // NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
    const BrowserRef browser = page->GetBrowser();
    if (OnClose)
        OnClose(this, browser, result);
    if (!result && browser->IsPopup() && browser->Window() && browser->Window()->isWindow())
        browser->Window()->close();
}

void TChromium::HandleDownload(BrowserPage* page, QWebEngineDownloadRequest* download,
                               TDownloadList* list)
{
    if (!OnBeforeDownload || page->IsClosed() || !list) {
        download->cancel();
        return;
    }
    // Accepted at once: the engine goes on downloading while the handler and the save
    // dialog take their time, and nothing waits on the engine's stack.
    const QPointer<TDownload> started(list->Start(download));
    ReportPlacement(page, started);
    auto answer = std::make_shared<DownloadCallback::Answer>();
    page->Track(StateOf(answer));
    // The list lives as long as `started`, its child.
    answer->State.OnSettled([self = QPointer<TChromium>(this), started, answer, list,
                             folder = Profile()->downloadPath()] {
        if (!started)
            return;
        if (!answer->Accepted || answer->State.Abandoned() || !self) {
            started->Cancel();
            return;
        }
        QString path = answer->Path.isEmpty() ? started->FileName() : answer->Path;
        // The download folder is made when missing, as browsers do; a chosen one is not.
        if (QFileInfo(path).isRelative() && QDir().mkpath(folder))
            path = QDir(folder).filePath(path);
        if (answer->ShowDialog)
            list->AskPlace(started, self->window(), path);
        else
            started->PlaceAt(path, false);
    });
    auto callback = std::make_shared<DownloadCallback>(answer);
    const DownloadItem item{download->url(), download->mimeType(), download->totalBytes()};
    OnBeforeDownload(this, page->GetBrowser(), item, download->suggestedFileName(), callback);
}

void TChromium::ReportPlacement(BrowserPage* page, TDownload* download)
{
    auto reported = std::make_shared<bool>(false);
    auto report = [self = QPointer<TChromium>(this), from = QPointer<BrowserPage>(page), reported] {
        if (*reported || !self || !from || from->IsClosed() || !self->OnDownloadPlaced)
            return;
        *reported = true;
        self->OnDownloadPlaced(self, from->GetBrowser());
    };
    connect(download, &TDownload::Placed, this, report);
    connect(download, &TDownload::Cancelled, this, report);
}

} // namespace engine
