#include "ui/FormMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QShortcut>
#include <QVBoxLayout>

#include "engine/DownloadList.h"
#include "shared/Global.h"
#include "shared/ZphConst.h"
#include "ui/AppMessageBox.h"
#include "ui/BrowsingCommands.h"
#include "ui/ConfigFileCare.h"
#include "ui/DownloadsPanel.h"
#include "ui/PageZoom.h"
#include "ui/PopupGate.h"
#include "ui/PostedMessages.h"
#include "ui/Restarter.h"
#include "ui/ServiceConnection.h"
#include "ui/StripController.h"
#include "ui/TabBook.h"
#include "ui/TrayNotifier.h"
#include "ui/WindowPlacement.h"

TFormMain::TFormMain(TFormMainOptions options, QWidget* parent)
    : QMainWindow(parent), TrayAvailable(QSystemTrayIcon::isSystemTrayAvailable()),
      options_(std::move(options)), mailbox_(std::make_shared<TWindowMailbox>(this))
{
    // First: from here on the window's events reach the placement.
    placement_ = std::make_unique<TWindowPlacement>(*this);
    restarter_ = std::make_unique<TRestarter>(options_.ClientExecutable);
    setMinimumSize(640, 480);
    CreateControls();
    CreateTray();
    trayNotifier_ = std::make_unique<TTrayNotifier>(
        TrayIcon1, this, [this] { NDownloadsClick(); },
        [this](const QString& argument) { PostMessage(new TTipClickMessage(argument)); });
    CreateShortcuts();
    downloads_ = new TDownloadsPanel(this, PageControl1->Strip());
    connect(downloads_, &TDownloadsPanel::IndicatorRoomChanged, strip_,
            &TStripController::FitTabWidth);
    connect(downloads_->List(), &engine::TDownloadList::Finished, this,
            [this](const engine::TDownload* download) {
                if (!Closing)
                    TrayNotifier().DownloadFinished(download->FileName());
            });
    SetMessageBoxOwner(this);
    FormCreate();
}

TFormMain::~TFormMain()
{
    mailbox_->Close();
    // Views go first, so that no page event reaches a half-destroyed window.
    delete PageControl1;
    PageControl1 = nullptr;
    FormDestroy();
}

void TFormMain::CreateControls()
{
    PageControl1 = new TPageControl(this);
    PageControl1->EmptyCaption = QStringLiteral("新页面");
    setCentralWidget(PageControl1);
    // The shown tab's caption is the window's title, whatever made it change.
    connect(PageControl1, &TPageControl::ActiveCaptionChanged, this,
            [this](const QString& caption) {
                setWindowTitle(QStringLiteral("%1 - %2 %3")
                                   .arg(caption, QString::fromLatin1(zph::AppTitle),
                                        QString::fromLatin1(zph::AppVersion)));
            });

    bsSkinTabSheet1 = PageControl1->AddPage();
    auto* layout = new QVBoxLayout(bsSkinTabSheet1);
    layout->setContentsMargins(0, 0, 0, 0);
    crm = new engine::TChromium(bsSkinTabSheet1);
    crm->DefaultUrl = QStringLiteral("about:blank");
    layout->addWidget(crm);
    WireBrowserView(crm);

    bsSkinTabSheet2 = PageControl1->AddPage();
    bsSkinTabSheet2->SetCaption(QStringLiteral("正在检测安全环境..."));
    PageControl1->SetActivePageIndex(1);

    PageControl1->OnChange = [this] { PageControl1Change(); };
    PageControl1->OnDrawSkinTab = [this](int p, const QRect& rect, QPainter& canvas, bool, bool) {
        PageControl1DrawSkinTab(p, rect, canvas);
    };
    PageControl1->OnMouseDown = [this](Qt::MouseButton b, int x, int y) {
        PageControl1MouseDown(b, x, y);
    };
    PageControl1->OnMouseUp = [this](Qt::MouseButton b, int x, int y) {
        PageControl1MouseUp(b, x, y);
    };

    tabs_ = std::make_unique<TTabBook>(PageControl1,
                                       [this](engine::TChromium* view) { WireBrowserView(view); });
    connect(tabs_.get(), &TTabBook::ActiveChanged, this, &TFormMain::PageControl1Change);
    connect(tabs_.get(), &TTabBook::LastTabClosing, this, &QWidget::close);
    strip_ = new TStripController(
        PageControl1, *tabs_, [this](int p) { PostMessage(new TPageIndexMessage(p)); },
        [this] { return downloads_ ? downloads_->TabsEnd() : -1; }, this);
    service_ = new TServiceConnection(
        *tabs_, mailbox_, options_, [this] { return Closing; }, this);
    connect(service_, &TServiceConnection::StartCaptionChanged, this, [this](TSkinTabSheet* page) {
        if (PageControl1->ActivePage() == page)
            PageControl1Change();
        else
            PageControl1->RepaintStrip();
    });
}

void TFormMain::CreateTray()
{
    PopupMenu1 = new QMenu(this);
    NShowMain = PopupMenu1->addAction(QStringLiteral("显示窗口"));
    NDownloads = PopupMenu1->addAction(QStringLiteral("下载"));
    N1 = PopupMenu1->addSeparator();
    NRelogin = PopupMenu1->addAction(QStringLiteral("重新登录"));
    NSetting = PopupMenu1->addAction(QStringLiteral("设置"));
    NSetting->setVisible(false);
    NAbout = PopupMenu1->addAction(QStringLiteral("关于"));
    N2 = PopupMenu1->addSeparator();
    NExit = PopupMenu1->addAction(QStringLiteral("退出"));
    connect(NShowMain, &QAction::triggered, this, &TFormMain::NShowMainClick);
    connect(NDownloads, &QAction::triggered, this, &TFormMain::NDownloadsClick);
    connect(NRelogin, &QAction::triggered, this, [this] { NReloginClick(); });
    connect(NSetting, &QAction::triggered, this, &TFormMain::NSettingClick);
    connect(NAbout, &QAction::triggered, this, &TFormMain::NAboutClick);
    connect(NExit, &QAction::triggered, this, &TFormMain::NExitClick);

    TrayIcon1 = new QSystemTrayIcon(this);
    TrayIcon1->setContextMenu(PopupMenu1);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    NShowMainClick();
            });
}

void TFormMain::CreateShortcuts()
{
    Browsing = new TBrowsingCommands(this, [this] { return tabs_->ActiveView(); });
    auto* reopen = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), this);
    connect(reopen, &QShortcut::activated, this, [this] {
        if (!Closing)
            tabs_->ReopenClosed();
    });
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this, [this] { tabs_->Switch(+1); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    connect(previous, &QShortcut::activated, this, [this] { tabs_->Switch(-1); });
    auto* previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    connect(previousTab, &QShortcut::activated, this, [this] { tabs_->Switch(-1); });
    auto* closeTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    connect(closeTab, &QShortcut::activated, this, [this] {
        // Same rule as a double click on the strip: never the start tab.
        const int p = PageControl1->ActivePageIndex();
        if (p != 1)
            PostMessage(new TPageIndexMessage(p));
    });
    auto* reload = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(reload, &QShortcut::activated, this, [this] {
        if (TBrowserTab* tab = tabs_->Active())
            service_->Reload(tab->Browser);
    });
}

void TFormMain::FormCreate()
{
    ForgetStoredZoom();
    ConfirmExit = true;

    TidyConfigFile(ConfigPath());
    placement_->PublishWindowHandle();
    core::IniFile ini = ConfigFile();

    SystemSettings.AutoStart = ini.ReadString("SYSTEM", "AUTOSTART", "1") == "1";
    SystemSettings.SoundHint = ini.ReadString("SYSTEM", "SOUNDHINT", "1") == "1";
    SystemSettings.PopupHint = ini.ReadString("SYSTEM", "POPUPHINT", "1") == "1";
    popupGate_ = std::make_unique<TPopupGate>(ini, PageControl1->Strip());

    SetApplicationTitle(QString::fromLatin1(zph::AppTitle));
    TrayIcon1->setToolTip(QString::fromLatin1(zph::AppTitle));
    const QIcon appIcon(QStringLiteral(":/images/AppIcon.png"));
    TrayIcon1->setIcon(appIcon);
    // Every window of the client, the secondary ones too.
    QApplication::setWindowIcon(appIcon);
    TrayIcon1->setVisible(true);

    placement_->Restore(ini);

    tabs_->Begin(crm);
    service_->Start();
}

void TFormMain::FormCloseQuery(bool& CanClose)
{
    placement_->Save();

    if (!ExitRequested) {
        CanClose = false;
        // Without a tray, hiding would leave no way back.
        if (TrayAvailable)
            hide();
        else
            showMinimized();
        return;
    }
    if (ConfirmExit) {
        ExitRequested = false;
        if (AppMessageBox(QStringLiteral("确定要退出吗？"), MB_CONFIRM) == IDYES) {
            Closing = true;
            CanClose = true;
        } else {
            // A close that may not ask (an accepted update, cache clearing) can arrive
            // while the question is open; the window system drops it as a nested close,
            // so it is honoured here.
            CanClose = ExitRequested && !ConfirmExit;
        }
        return;
    }
    CanClose = true;
}

void TFormMain::FormDestroy()
{
    tabs_.reset();
}

void TFormMain::FormResize()
{
    strip_->FitTabWidth();
    tabs_->MarkForFit();
    if (TBrowserTab* tab = tabs_->Active())
        tabs_->Fit(tab);
}

void TFormMain::NDownloadsClick()
{
    downloads_->Show();
}

void TFormMain::NShowMainClick()
{
    show();
    raise();
    activateWindow();
    if (isMinimized())
        showMaximized();
    TrayNotifier().MarkRead();
}

void TFormMain::NExitClick()
{
    ExitRequested = true;
    close();
}

void TFormMain::PostCloseRequest()
{
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool TFormMain::PostMessage(QEvent* message)
{
    return mailbox_->Post(message);
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    event->accept();
    closeAccepted_ = true;
    // Dialogs still open for a page would keep their nested loops running.
    engine::CloseBrowsersIn(this);
    downloads_->List()->CancelQuestions();
    emit Closed();
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (tabs_)
        FormResize();
}

void TFormMain::changeEvent(QEvent* event)
{
    // The window in front again: the tray icon stops blinking.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        TrayNotifier().MarkRead();
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        placement_->WindowStateChanged();
}

bool TFormMain::event(QEvent* event)
{
    switch (int(event->type())) {
    case QEvent::WinIdChange:
        placement_->NativeWindowChanged();
        return QMainWindow::event(event);
    case zph::WM_SHOWMAIN:
        NShowMainClick();
        return true;
    case zph::WM_OPENBROWSERWINDOW:
        WMOpenBrowserWindow(static_cast<TAddressMessage*>(event)->Address);
        return true;
    case zph::WM_NEWTAB:
        if (!Closing)
            tabs_->AdoptPopup(static_cast<TPopupMessage*>(event)->Info);
        return true;
    case zph::WM_CLOSETAB:
        tabs_->Close(static_cast<TPageIndexMessage*>(event)->PageIndex);
        return true;
    case zph::WM_TIPCLICK:
        service_->TipClicked(static_cast<TTipClickMessage*>(event)->Argument);
        NShowMainClick();
        return true;
    case zph::WM_LOADSTARTURL:
        service_->StartUrlArrived(static_cast<TAddressMessage*>(event)->Address);
        return true;
    default:
        if (event->type() == WM_UPDATEACCEPTED) {
            // The updater runs: the client ends without asking.
            ExitRequested = true;
            Closing = true;
            ConfirmExit = false;
            close();
            return true;
        }
        return QMainWindow::event(event);
    }
}
