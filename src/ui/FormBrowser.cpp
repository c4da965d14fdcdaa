#include "ui/FormBrowser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLoggingCategory>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "engine/BrowserView.h"
#include "shared/ZphConst.h"
#include "ui/BrowsingCommands.h"
#include "ui/HeldBackNote.h"
#include "ui/LanguageHeader.h"
#include "ui/PageZoom.h"
#include "ui/PopupRefusal.h"
#include "ui/PostedMessages.h"
#include "ui/ScreenPlacement.h"
#include "ui/WindowBounds.h"

Q_LOGGING_CATEGORY(lcBrowserWindow, "quillmark.ui.browser")

namespace {

// The secondary windows in the order they were made; closed ones fall out as they go.
QList<QPointer<TFormBrowser>>& WindowsMade()
{
    static QList<QPointer<TFormBrowser>> windows;
    return windows;
}

// The secondary window made last of those still open: a new one cascades from it.
const TFormBrowser* LastOpenWindow()
{
    auto& windows = WindowsMade();
    windows.removeIf([](const QPointer<TFormBrowser>& window) { return !window; });
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if ((*it)->isVisible())
            return *it;
    return nullptr;
}

} // namespace

TFormBrowser::TFormBrowser() : QWidget(nullptr, Qt::Window)
{
    setWindowTitle(QStringLiteral("浏览器"));
    resize(1008, 662);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    crm = new engine::TChromium(this);
    crm->DefaultUrl = QStringLiteral("about:blank");
    layout->addWidget(crm);
    crm->OnTitleChange = [this](auto&&... args) { crmTitleChange(args...); };
    crm->OnBeforePopup = [this](auto&&... args) { crmBeforePopup(args...); };
    crm->OnBeforeResourceLoad = [this](auto&&... args) { crmBeforeResourceLoad(args...); };
    crm->OnClose = [this](auto&&... args) { crmClose(args...); };
    crm->OnAddressChange = [this](auto&&... args) { crmAddressChange(args...); };
    crm->OnPrint = [this](auto&&... args) { crmPrint(args...); };
    crm->OnBeforeDownload = [this](auto&&... args) { crmBeforeDownload(args...); };
    crm->OnLoadEnd = [this](auto&&... args) { crmLoadEnd(args...); };
    crm->OnDownloadPlaced = [this](auto&&... args) { crmDownloadPlaced(args...); };
    Browsing = new TBrowsingCommands(this, [this] { return View(); });
    PlaceCascaded(*this, LastOpenWindow());
    WindowsMade().append(this);
}

TFormBrowser* TFormBrowser::Open(const QString& address, int chain)
{
    qCInfo(lcBrowserWindow) << "opening a secondary window on" << address;
    auto* form = new TFormBrowser;
    form->Chain = chain;
    form->crm->Load(address.trimmed().isEmpty() ? QStringLiteral("about:blank") : address);
    form->ShowInFront();
    return form;
}

void TFormBrowser::ShowInFront()
{
    show();
    raise();
    activateWindow();
    // A box or dialog waiting for an answer blocks the new window; keep it in sight
    // rather than let the new window cover it.
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->raise();
}

QWebEngineView* TFormBrowser::View() const
{
    return crm->findChild<engine::BrowserView*>();
}

void TFormBrowser::WMOpenBrowserWindow(const QString& address)
{
    // Admitted when the popup asked for it.
    --admittedWindows_;
    TWindowBounds::Instance().Made();
    Open(address, Chain);
}

void TFormBrowser::crmBeforePopup(engine::TChromium*, const engine::BrowserRef& browser,
                                  const engine::FrameRef&, const QString& targetUrl, const QString&,
                                  engine::TWindowOpenDisposition, bool userGesture,
                                  const engine::PopupFeatures&, engine::WindowInfo& windowInfo,
                                  engine::BrowserSettings&, bool&, bool& Result)
{
    TWindowBounds& bounds = TWindowBounds::Instance();
    const auto verdict = bounds.Admit(Chain, userGesture);
    if (verdict != core::TPopupBounds::Open) {
        Result = true;
        HoldBackPopup(verdict, bounds.MaxWindows());
        RefuseScriptPopups(browser->Page());
        return;
    }
    // A blank popup is the opener's to write into (a print view, a report): it gets a
    // window of its own with the engine's page in it. Others open anew on their address.
    const QUrl target(targetUrl);
    if (target.isEmpty() ||
        (target.scheme() == QLatin1String("about") && target.path() == QLatin1String("blank"))) {
        bounds.Made();
        auto* form = new TFormBrowser;
        form->Chain = Chain;
        form->crm->DefaultUrl.clear();
        windowInfo.ParentWindow = form->crm;
        form->ShowInFront();
        return;
    }
    Result = true;
    ++admittedWindows_;
    QCoreApplication::postEvent(this, new TAddressMessage(zph::WM_OPENBROWSERWINDOW, targetUrl));
}

TFormBrowser::~TFormBrowser()
{
    // Messages still posted to this window go with it: their windows will not be made.
    for (; admittedWindows_ > 0; --admittedWindows_)
        TWindowBounds::Instance().Made();
}

void TFormBrowser::crmBeforeResourceLoad(engine::TChromium*, const engine::BrowserRef&,
                                         const engine::FrameRef&, engine::Request& request,
                                         engine::TReturnValue&)
{
    AddLanguageHeader(request);
}

void TFormBrowser::crmTitleChange(engine::TChromium*, const engine::BrowserRef& browser,
                                  const QString& title)
{
    WindowOf(browser)->setWindowTitle(title);
}

void TFormBrowser::crmClose(engine::TChromium*, const engine::BrowserRef& browser, bool& Result)
{
    // The page's window.close() closes the window, as closing it by hand does.
    Result = true;
    WindowOf(browser)->close();
}

void TFormBrowser::HoldBackPopup(core::TPopupBounds::TVerdict verdict, int maxWindows)
{
    if (!popupNote_)
        popupNote_ = new THeldBackNote(this, QStringLiteral("已阻止此页面的弹出窗口"),
                                       QStringLiteral("popups"));
    if (verdict == core::TPopupBounds::TooManyTabs)
        popupNote_->HoldBack(QStringLiteral("最多可同时打开 %1 个浏览器窗口").arg(maxWindows),
                             QStringLiteral("too many secondary windows"));
    else
        popupNote_->HoldBack(QStringLiteral("此页面短时间内打开的弹出窗口过多"),
                             QStringLiteral("too many popups without a user gesture"));
}

QWidget* TFormBrowser::WindowOf(const engine::BrowserRef& browser)
{
    // The events of a blank popup adopted into a window of its own come here, to its
    // opener's window.
    QWidget* view = browser->IsPopup() ? browser->Window() : nullptr;
    return view ? view->window() : this;
}

void TFormBrowser::crmAddressChange(engine::TChromium*, const engine::BrowserRef& browser,
                                    const QUrl&)
{
    if (QWebEnginePage* page = browser->Page())
        ApplyStoredZoom(page);
}

void TFormBrowser::crmPrint(engine::TChromium*, const engine::BrowserRef& browser)
{
    if (auto* view = qobject_cast<QWebEngineView*>(browser->Window()))
        Browsing->Print(view);
}

void TFormBrowser::crmBeforeDownload(engine::TChromium*, const engine::BrowserRef&,
                                     const engine::DownloadItem&, const QString& suggestedName,
                                     const engine::DownloadCallbackRef& callback)
{
    callback->Continue(suggestedName, true);
}

void TFormBrowser::crmLoadEnd(engine::TChromium*, const engine::BrowserRef& browser, int)
{
    if (WindowOf(browser) == this)
        pageShown_ = true;
}

void TFormBrowser::crmDownloadPlaced(engine::TChromium*, const engine::BrowserRef& browser)
{
    // Opened for an address that was a download: the window would stay empty.
    if (WindowOf(browser) == this && !pageShown_)
        close();
}

void TFormBrowser::FormClose(QCloseEvent& event)
{
    event.accept();
    deleteLater();
}

void TFormBrowser::closeEvent(QCloseEvent* event)
{
    FormClose(*event);
}

bool TFormBrowser::event(QEvent* event)
{
    if (event->type() == zph::WM_OPENBROWSERWINDOW) {
        WMOpenBrowserWindow(static_cast<TAddressMessage*>(event)->Address);
        return true;
    }
    return QWidget::event(event);
}
