// The main window's life: first start, close requests, placement, tray menu.

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "core/IniFile.h"
#include "shared/Global.h"
#include "shared/ZphConst.h"
#include "support/TestHelpers.h"
#include "ui/AppMessageBox.h"
#include "ui/FormMain.h"
#include "ui/PostedMessages.h"
#include "ui/TabBook.h"
#include "ui/WindowLifeSupport.h"
#include "ui/WindowPlacement.h"

using namespace testing_support;
using namespace window_life;

namespace {

// Nothing listens here: the update check fails and the start tab shows an error page.
const QByteArray ServiceSection = "[SERVICE]\nHOST=127.62.1.1\n";
// The window as a user left it: normal, at (40, 50), 700 x 500.
const QByteArray NormalPlacement = "[WIN]\nLEFT=40\nTOP=50\nRIGHT=740\nBOTTOM=550\nSTATE=0\n";
const QRect NormalRect(40, 50, 700, 500);

QByteArray Config(const QByteArray& more = {})
{
    return ServiceSection + more;
}

struct Placement {
    qint64 left, top, right, bottom, state;
    bool operator==(const Placement&) const = default;
};

char* toString(const Placement& p)
{
    return QTest::toString(QStringLiteral("LEFT=%1 TOP=%2 RIGHT=%3 BOTTOM=%4 STATE=%5")
                               .arg(p.left)
                               .arg(p.top)
                               .arg(p.right)
                               .arg(p.bottom)
                               .arg(p.state));
}

Placement StoredPlacement(const WindowUnderTest& w)
{
    const core::IniFile ini(w.ConfigPath().toStdString());
    return {ini.ReadInteger("WIN", "LEFT", -1), ini.ReadInteger("WIN", "TOP", -1),
            ini.ReadInteger("WIN", "RIGHT", -1), ini.ReadInteger("WIN", "BOTTOM", -1),
            ini.ReadInteger("WIN", "STATE", -1)};
}

// Values no window has, so a test sees whether a close request wrote the placement.
void ForgetPlacement(const WindowUnderTest& w)
{
    core::IniFile ini(w.ConfigPath().toStdString());
    for (const char* key : {"LEFT", "TOP", "RIGHT", "BOTTOM", "STATE"})
        ini.WriteInteger("WIN", key, 99999);
}

// Where the window is as the placement keys describe it: the frame's top left corner and
// the size inside the frame.
QRect PlacedRect(const TFormMain& form)
{
    return QRect(form.pos(), form.size());
}

Placement PlacementOf(const QRect& r, int state)
{
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height(), state};
}

enum CloseAction {
    FrameClose,
    ExitCommand,
    ExitCommandWhileHidden, // the usual way: the window is in the tray
    PageCloseWithBrowser,
    PageCloseWithoutBrowser
};
enum ShowAction { ShowCommand, ShowMessage, TrayClick, TrayDoubleClick, TrayContext, ShowMenuItem };
enum StartCondition { Minimized, Hidden, HiddenMinimized, Maximized };

} // namespace

class FormLifeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TaskLog::Install(); }

    void firstStartPublishesTheHandleAndUsesDefaults()
    {
        SystemSettings = {false, false, false};
        WindowUnderTest w(Config());
        TFormMain& form = w.Create();

        QCOMPARE(w.Config(),
                 Config("[SYSTEM]\nHANDLE=" + QByteArray::number(qint64(form.winId())) + "\n"));
        QVERIFY(qint64(form.winId()) > 0);
        QCOMPARE(form.WindowPlacement().WindowStateValue(), 2);
        QVERIFY(SystemSettings.AutoStart);
        QVERIFY(SystemSettings.SoundHint);
        QVERIFY(SystemSettings.PopupHint);
        QCOMPARE(form.windowTitle(), QStringLiteral("正在检测安全环境... - QuillmarkERP 1.0.0.2"));
        QCOMPARE(ApplicationTitle(), QStringLiteral("QuillmarkERP"));
        QCOMPARE(form.TrayIcon1->toolTip(), QStringLiteral("QuillmarkERP"));
        QVERIFY(form.TrayIcon1->isVisible());
        QVERIFY(!form.TrayIcon1->icon().isNull());
        QCOMPARE(form.TrayIcon1->contextMenu(), form.PopupMenu1);
        QCOMPARE(form.minimumSize(), QSize(640, 480));
        QVERIFY(!form.ExitRequested);
        QVERIFY(form.ConfirmExit);
        QVERIFY(!form.Closing);

        // Page 0 holds the window's own view and has no tab; page 1 waits for the start
        // address with its tab shown.
        TPageControl* pc = form.PageControl1;
        QCOMPARE(pc->PageCount(), 2);
        QCOMPARE(pc->Page(0), form.bsSkinTabSheet1);
        QCOMPARE(pc->Page(1), form.bsSkinTabSheet2);
        QVERIFY(!form.bsSkinTabSheet1->TabVisible());
        QCOMPARE(form.bsSkinTabSheet1->Tag, 1);
        QCOMPARE(form.crm->parentWidget(), form.bsSkinTabSheet1);
        QCOMPARE(form.crm->DefaultUrl, QStringLiteral("about:blank"));
        QVERIFY(form.bsSkinTabSheet2->TabVisible());
        QCOMPARE(form.bsSkinTabSheet2->Tag, 1);
        QCOMPARE(form.bsSkinTabSheet2->Caption(), QStringLiteral("正在检测安全环境..."));
        QCOMPARE(pc->ActivePageIndex(), 1);
        QCOMPARE(form.Tabs().NextTabId(), 1);
        QCOMPARE(form.Tabs().Count(), 1);
        TBrowserTab* first = form.Tabs().Find(1);
        QVERIFY(first);
        QCOMPARE(first->Page.data(), form.bsSkinTabSheet1);
        QCOMPARE(first->Browser, form.crm->Browser());

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.isMaximized());
        form.showNormal();
        form.resize(100, 100);
        QCOMPARE(form.size(), QSize(640, 480));
    }

    void closeRequests_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("exitRequested");
        QTest::addColumn<bool>("confirmExit");
        QTest::addColumn<bool>("closing");
        QTest::addColumn<int>("action");
        // NoButton: no question may be asked.
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<bool>("exitRequestedAfter");
        QTest::addColumn<bool>("confirmExitAfter");
        QTest::addColumn<bool>("closingAfter");

        const auto none = QMessageBox::NoButton;
        // clang-format off
        //                                                       tray   ER     CE     Closing action                   answer            closes vis    min    ER'    CE'    Closing'
        QTest::newRow("frame close hides to tray")            << true  << false << true  << false << int(FrameClose) << none            << false << false << false << false << true  << false;
        QTest::newRow("frame close minimizes without tray")   << false << false << true  << false << int(FrameClose) << none            << false << true  << true  << false << true  << false;
        QTest::newRow("frame close hides, confirmation off")  << true  << false << false << false << int(FrameClose) << none            << false << false << false << false << false << false;
        QTest::newRow("frame close hides while closing")      << true  << false << true  << true  << int(FrameClose) << none            << false << false << false << false << true  << true;
        QTest::newRow("exit asked, No keeps the window")      << true  << false << true  << false << int(ExitCommand) << QMessageBox::No  << false << true  << false << false << true  << false;
        QTest::newRow("exit asked, No without tray")          << false << false << true  << false << int(ExitCommand) << QMessageBox::No  << false << true  << false << false << true  << false;
        QTest::newRow("exit asked, Yes closes")               << true  << false << true  << false << int(ExitCommand) << QMessageBox::Yes << true  << false << false << false << true  << true;
        QTest::newRow("exit from the tray, No keeps it hidden") << true << false << true << false << int(ExitCommandWhileHidden) << QMessageBox::No << false << false << false << false << true << false;
        QTest::newRow("exit from the tray, Yes closes")       << true  << false << true  << false << int(ExitCommandWhileHidden) << QMessageBox::Yes << true << false << false << false << true << true;
        QTest::newRow("exit without confirmation closes")     << true  << false << false << false << int(ExitCommand) << none            << true  << false << false << true  << false << false;
        QTest::newRow("exit requested keeps Closing set")     << true  << true  << false << true  << int(FrameClose) << none            << true  << false << false << true  << false << true;
        QTest::newRow("exit requested keeps Closing clear")   << false << true  << false << false << int(FrameClose) << none            << true  << false << false << true  << false << false;
        QTest::newRow("page close with browser hides")        << true  << false << true  << false << int(PageCloseWithBrowser) << none   << false << false << false << false << true  << false;
        QTest::newRow("page close without browser hides")     << true  << false << true  << false << int(PageCloseWithoutBrowser) << none << false << false << false << false << true  << false;
        QTest::newRow("page close minimizes without tray")    << false << false << true  << false << int(PageCloseWithoutBrowser) << none << false << true  << true  << false << true  << false;
        QTest::newRow("page close while exiting asks")        << true  << true  << true  << false << int(PageCloseWithBrowser) << QMessageBox::No << false << true << false << false << true << false;
        QTest::newRow("page close exiting unasked closes")    << true  << true  << false << false << int(PageCloseWithBrowser) << none   << true  << false << false << true  << false << false;
        // clang-format on
    }

    void closeRequests()
    {
        QFETCH(bool, tray);
        QFETCH(int, action);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, closes);

        WindowUnderTest w(Config(NormalPlacement));
        TFormMain& form = w.Open();
        QVERIFY(w.Settle());
        QCOMPARE(PlacedRect(form), NormalRect);
        form.TrayAvailable = tray;
        if (action == ExitCommandWhileHidden) {
            form.close();
            QVERIFY(!form.isVisible());
        }
        QFETCH(bool, exitRequested);
        QFETCH(bool, confirmExit);
        QFETCH(bool, closing);
        form.ExitRequested = exitRequested;
        form.ConfirmExit = confirmExit;
        form.Closing = closing;
        ForgetPlacement(w);

        const int asked = answerer_.Answered();
        std::unique_ptr<BoxWatcher> guard;
        if (answer == QMessageBox::NoButton)
            guard = std::make_unique<BoxWatcher>();
        else
            answerer_.Answer(answer);

        switch (action) {
        case FrameClose:
            form.close();
            break;
        case ExitCommand:
        case ExitCommandWhileHidden:
            form.NExitClick();
            break;
        case PageCloseWithBrowser:
        case PageCloseWithoutBrowser: {
            TBrowserTab* start = form.Tabs().Find(1);
            QVERIFY(start && start->Browser);
            auto* view = qobject_cast<engine::TChromium*>(start->BrowserWindow.data());
            QVERIFY(view);
            bool result = false;
            form.crmClose(view,
                          action == PageCloseWithBrowser ? start->Browser : engine::BrowserRef(),
                          result);
            // The close request itself comes later, like a posted close message, and the
            // flags are left as they were.
            QCOMPARE(form.Closing, closing);
            QCOMPARE(form.ConfirmExit, confirmExit);
            QVERIFY(form.isVisible());
            QVERIFY(WaitFor([&] { return StoredPlacement(w).state != 99999; }));
            break;
        }
        }

        if (answer == QMessageBox::NoButton) {
            QCOMPARE(guard->Seen().size(), 0);
        } else {
            QCOMPARE(answerer_.Answered(), asked + 1);
            QCOMPARE(answerer_.Texts().last(), QStringLiteral("确定要退出吗？"));
        }
        // The placement is written first, whatever the request ends in.
        QCOMPARE(StoredPlacement(w), PlacementOf(NormalRect, 0));
        QCOMPARE(w.ClosedCount(), closes ? 1 : 0);
        QTEST(form.isVisible(), "visible");
        QTEST(form.isMinimized(), "minimized");
        QTEST(bool(form.ExitRequested), "exitRequestedAfter");
        QTEST(bool(form.ConfirmExit), "confirmExitAfter");
        QTEST(bool(form.Closing), "closingAfter");
        QVERIFY(form.TrayIcon1->isVisible());
        if (closes)
            return;

        // A later plain close request writes the placement again and hides without asking.
        QVERIFY(!form.ExitRequested);
        const int stateNow = form.WindowPlacement().WindowStateValue();
        form.move(60, 70);
        ForgetPlacement(w);
        BoxWatcher laterGuard;
        form.close();
        QCOMPARE(laterGuard.Seen().size(), 0);
        QCOMPARE(StoredPlacement(w), (Placement{60, 70, 760, 570, stateNow}));
        QCOMPARE(w.ClosedCount(), 0);
        QCOMPARE(form.isVisible(), !tray);
        if (!tray)
            QVERIFY(form.isMinimized());
    }

    // An accepted update ends the client without asking, even while the exit question is
    // open: the updater is already running and waits for the client to end.
    void updateAcceptedWhileAskingToExitEndsTheClient()
    {
        WindowUnderTest w(Config(NormalPlacement));
        TFormMain& form = w.Open();
        QVERIFY(w.Settle());
        form.TrayAvailable = true;

        QStringList asked;
        QTimer inside;
        QObject::connect(&inside, &QTimer::timeout, &inside, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            inside.stop();
            asked << box->text();
            QEvent accepted(WM_UPDATEACCEPTED);
            QCoreApplication::sendEvent(&form, &accepted);
            if (box->isVisible())
                box->button(QMessageBox::No)->click();
        });
        inside.start(20);
        form.NExitClick();
        QCOMPARE(asked, QStringList{QStringLiteral("确定要退出吗？")});
        QVERIFY(WaitFor([&] { return w.ClosedCount() == 1; }, 5000));
        QVERIFY(!form.isVisible());
        QVERIFY(form.Closing);
        QCOMPARE(w.ClosedCount(), 1);
    }

    void placement_data()
    {
        QTest::addColumn<QByteArray>("win");
        QTest::addColumn<int>("state");
        // Where the window must be; maximised, the rectangle it keeps to un-maximise to.
        QTest::addColumn<QRect>("rect");

        QTest::newRow("normal") << NormalPlacement << 0 << NormalRect;
        QTest::newRow("normal, another rectangle")
            << QByteArray("[WIN]\nLEFT=100\nTOP=80\nRIGHT=900\nBOTTOM=700\nSTATE=0\n") << 0
            << QRect(100, 80, 800, 620);
        QTest::newRow("normal, smaller than the minimum")
            << QByteArray("[WIN]\nLEFT=10\nTOP=20\nRIGHT=110\nBOTTOM=120\nSTATE=0\n") << 0
            << QRect(10, 20, 640, 480);
        QTest::newRow("minimized at the stored rectangle")
            << QByteArray("[WIN]\nLEFT=40\nTOP=50\nRIGHT=740\nBOTTOM=550\nSTATE=1\n") << 1
            << NormalRect;
        QTest::newRow("maximized, rectangle kept")
            << QByteArray("[WIN]\nLEFT=40\nTOP=50\nRIGHT=740\nBOTTOM=550\nSTATE=2\n") << 2
            << QRect(40, 50, 700, 500);
        const QSize workArea = QGuiApplication::primaryScreen()->availableGeometry().size();
        QTest::newRow("no placement stored") << QByteArray() << 2 << QRect(QPoint(), workArea);
    }

    void placement()
    {
        QFETCH(QByteArray, win);
        QFETCH(int, state);
        QFETCH(QRect, rect);

        WindowUnderTest w(Config(win));
        TFormMain& form = w.Open();
        QVERIFY(w.Settle());
        QVERIFY(form.isVisible());
        QCOMPARE(form.WindowPlacement().WindowStateValue(), state);
        if (state != 2)
            QCOMPARE(PlacedRect(form), rect);
        else
            QCOMPARE(form.frameGeometry(), form.screen()->availableGeometry());

        form.TrayAvailable = true;
        form.close();
        QVERIFY(!form.isVisible());
        QCOMPARE(StoredPlacement(w), PlacementOf(rect, state));
    }

    void trayMenuItems()
    {
        WindowUnderTest w(Config());
        TFormMain& form = w.Create();
        const QList<QAction*> actions = form.PopupMenu1->actions();
        const QList<QAction*> expected = {form.NShowMain, form.NDownloads, form.N1, form.NRelogin,
                                          form.NSetting,  form.NAbout,     form.N2, form.NExit};
        QCOMPARE(actions, expected);
        QCOMPARE(form.NShowMain->text(), QStringLiteral("显示窗口"));
        QCOMPARE(form.NDownloads->text(), QStringLiteral("下载"));
        QVERIFY(form.N1->isSeparator());
        QCOMPARE(form.NRelogin->text(), QStringLiteral("重新登录"));
        QCOMPARE(form.NSetting->text(), QStringLiteral("设置"));
        QCOMPARE(form.NAbout->text(), QStringLiteral("关于"));
        QVERIFY(form.N2->isSeparator());
        QCOMPARE(form.NExit->text(), QStringLiteral("退出"));
        for (QAction* a : actions)
            QCOMPARE(a->isVisible(), a != form.NSetting);
    }

    void showMain_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("state");

        QTest::newRow("command on a minimized window maximizes it")
            << int(ShowCommand) << int(Minimized) << true << 2;
        QTest::newRow("command shows a hidden window")
            << int(ShowCommand) << int(Hidden) << true << 0;
        QTest::newRow("command on a hidden minimized window maximizes it")
            << int(ShowCommand) << int(HiddenMinimized) << true << 2;
        QTest::newRow("command keeps a maximized window")
            << int(ShowCommand) << int(Maximized) << true << 2;
        QTest::newRow("message 2027 shows a hidden window")
            << int(ShowMessage) << int(Hidden) << true << 0;
        QTest::newRow("message 2027 maximizes a minimized window")
            << int(ShowMessage) << int(Minimized) << true << 2;
        QTest::newRow("tray click shows a hidden window")
            << int(TrayClick) << int(Hidden) << true << 0;
        QTest::newRow("tray double click maximizes a minimized window")
            << int(TrayDoubleClick) << int(Minimized) << true << 2;
        QTest::newRow("tray context click only opens the menu")
            << int(TrayContext) << int(Hidden) << false << 0;
        QTest::newRow("menu item shows a hidden window")
            << int(ShowMenuItem) << int(Hidden) << true << 0;
    }

    void showMain()
    {
        QFETCH(int, how);
        QFETCH(int, from);
        QFETCH(bool, visible);
        QFETCH(int, state);

        WindowUnderTest w(Config(NormalPlacement));
        TFormMain& form = w.Open();
        QVERIFY(w.Settle());
        form.TrayAvailable = true;
        switch (from) {
        case Minimized:
            form.showMinimized();
            break;
        case Hidden:
            form.close();
            break;
        case HiddenMinimized:
            form.showMinimized();
            form.hide();
            break;
        case Maximized:
            form.showMaximized();
            break;
        }
        QVERIFY(
            WaitFor([&] { return form.isVisible() == (from == Minimized || from == Maximized); }));

        switch (how) {
        case ShowCommand:
            form.NShowMainClick();
            break;
        case ShowMessage:
            QCoreApplication::postEvent(&form, new QEvent(zph::WM_SHOWMAIN));
            QVERIFY(WaitFor([&] {
                return form.isVisible() && form.WindowPlacement().WindowStateValue() == state;
            }));
            break;
        case TrayClick:
            emit form.TrayIcon1->activated(QSystemTrayIcon::Trigger);
            break;
        case TrayDoubleClick:
            emit form.TrayIcon1->activated(QSystemTrayIcon::DoubleClick);
            break;
        case TrayContext:
            emit form.TrayIcon1->activated(QSystemTrayIcon::Context);
            break;
        case ShowMenuItem:
            form.NShowMain->trigger();
            break;
        }
        QCoreApplication::processEvents();
        QCOMPARE(form.isVisible(), visible);
        QCOMPARE(form.WindowPlacement().WindowStateValue(), state);
        QCOMPARE(w.ClosedCount(), 0);
    }

private:
    ModalAnswerer answerer_;
};

int main(int argc, char** argv)
{
    return RunWindowTest<FormLifeTest>(argc, argv);
}

#include "FormLifeTest.moc"
