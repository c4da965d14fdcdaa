#include "ui/FormBrowser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLoggingCategory>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "engine/BrowserView.h"
#include "shared/ZphConst.h"
#include "ui/BrowsingCommands.h"
#include "ui/LanguageHeader.h"
#include "ui/PageZoom.h"
#include "ui/PostedMessages.h"
#include "ui/ScreenPlacement.h"

Q_LOGGING_CATEGORY(lcBrowserWindow, "quillmark.ui.browser")

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
    Browsing = new TBrowsingCommands(this, [this] { return View(); });
    PlaceAtTopLeft(*this);
}

TFormBrowser* TFormBrowser::Open(const QString& address)
{
    qCInfo(lcBrowserWindow) << "opening a secondary window on" << address;
    auto* form = new TFormBrowser;
    form->crm->Load(address.trimmed().isEmpty() ? QStringLiteral("about:blank") : address);
    form->show();
    form->raise();
    form->activateWindow();
    // A box or dialog waiting for an answer blocks the new window; keep it in sight
    // rather than let the new window cover it.
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->raise();
    return form;
}

QWebEngineView* TFormBrowser::View() const
{
    return crm->findChild<engine::BrowserView*>();
}

void TFormBrowser::WMOpenBrowserWindow(const QString& address)
{
    Open(address);
}

void TFormBrowser::crmBeforePopup(engine::TChromium*, const engine::BrowserRef&,
                                  const engine::FrameRef&, const QString& targetUrl, const QString&,
                                  engine::TWindowOpenDisposition, bool,
                                  const engine::PopupFeatures&, engine::WindowInfo&,
                                  engine::BrowserSettings&, bool&, bool& Result)
{
    Result = true;
    QCoreApplication::postEvent(this, new TAddressMessage(zph::WM_OPENBROWSERWINDOW, targetUrl));
}

void TFormBrowser::crmBeforeResourceLoad(engine::TChromium*, const engine::BrowserRef&,
                                         const engine::FrameRef&, engine::Request& request,
                                         engine::TReturnValue&)
{
    AddLanguageHeader(request);
}

void TFormBrowser::crmTitleChange(engine::TChromium*, const engine::BrowserRef&,
                                  const QString& title)
{
    setWindowTitle(title);
}

void TFormBrowser::crmClose(engine::TChromium*, const engine::BrowserRef&, bool& Result)
{
    // The page's window.close() closes the window, as closing it by hand does.
    Result = true;
    close();
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
