// Secondary browser windows: message 2028 opens one, also while the main window is in
// the tray or a box is open; its popups open further windows (never tabs, never the
// engine's own); the caption follows the page; every request asks for Chinese; dialogs
// are the engine's; closing one frees it alone, also after floods and self-closing pages;
// find and zoom work there as in a tab, and a download goes to the client's list; new
// windows cascade, and one opened for a download alone closes once it has its place.

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "FileDialogAnswerer.h"
#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "engine/BrowserView.h"
#include "engine/DownloadList.h"
#include "engine/EngineProfile.h"
#include "ui/AppMessageBox.h"
#include "ui/FindBar.h"
#include "ui/FormBrowser.h"
#include "ui/PostedMessages.h"
#include "ui/WindowBounds.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.7.1");

// Open secondary windows (a closed one is hidden until it is freed).
QList<TFormBrowser*> BrowserWindows()
{
    return window_life::VisibleWindows<TFormBrowser>();
}

QStringList Captions()
{
    QStringList captions;
    for (const TFormBrowser* window : BrowserWindows())
        captions << window->windowTitle();
    captions.sort();
    return captions;
}

TFormBrowser* WindowCaptioned(const QString& caption)
{
    const auto windows = BrowserWindows();
    auto found = std::find_if(windows.begin(), windows.end(),
                              [&](TFormBrowser* w) { return w->windowTitle() == caption; });
    return found == windows.end() ? nullptr : *found;
}

// Browser views the engine made as windows of their own.
int EngineWindows()
{
    return int(window_life::VisibleWindows<engine::BrowserView>().size());
}

void RunScriptIn(const TFormBrowser* window, const QString& script)
{
    window->crm->Browser()->GetMainFrame()->ExecuteJavaScript(script);
}

} // namespace

class BrowserWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        // The profile asks for another language: zh-CN can only come from the window.
        engine::Profile()->setHttpAcceptLanguage(QStringLiteral("en-US"));
        ServeStartAndPopups(server_);
        server_.Page("/titles", "<title>A</title><img src='/img'><script>setTimeout(() => {"
                                "document.title = 'B'; fetch('/xhr'); }, 100)</script>");
        server_.Page("/img", "x", "image/png");
        server_.Page("/xhr", "x", "text/plain");
        server_.Page("/opener", "<title>Opener</title><script>window.open('/popup?i=1');"
                                "window.open('/popup?i=2')</script>");
        server_.Page("/flood",
                     "<title>Flood</title><script>"
                     "for (let i = 0; i < 100; ++i) window.open('/popup?i=' + i)</script>");
        server_.Page("/close-self", "<script>window.close()</script>");
        server_.Page("/writer", QByteArray("<title>Writer</title><script>") + WriteIntoBlankPopups +
                                    "</script>");
        server_.Page("/words", "<title>Words</title><p>apple pear apple</p>");
        server_.Handle("/report", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"report.csv\"");
            res.set_content("a,b\n1,2\n", "text/csv");
        });
    }

    void init()
    {
        server_.ClearRequests();
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
    }

    void cleanup()
    {
        qDeleteAll(BrowserWindows());
        form_.reset();
    }

    void messageOpensAWindowThatFollowsItsPage()
    {
        form_->close(); // to the tray
        Open("/titles");
        QCOMPARE(BrowserWindows().size(), 1);
        TFormBrowser* window = BrowserWindows().front();
        QStringList captions;
        connect(window, &QWidget::windowTitleChanged, this,
                [&](const QString& caption) { captions << caption; });
        QCOMPARE(window->windowTitle(), QStringLiteral("浏览器"));
        QCOMPARE(window->size(), QSize(1008, 662));
        QCOMPARE(window->pos(), window->screen()->availableGeometry().topLeft());
        QVERIFY(WaitFor([&] { return captions.contains("B"); }));
        QVERIFY(captions.indexOf("A") >= 0 && captions.indexOf("A") < captions.indexOf("B"));
        QVERIFY(WaitFor([&] { return !server_.RequestsFor("/xhr").empty(); }));
        for (const QString path : {"/titles", "/img", "/xhr"})
            QCOMPARE(server_.RequestsFor(path).back().Headers.value("accept-language"),
                     QStringLiteral("zh-CN"));
        // Each message makes a window of its own, also for the same address, a step down and
        // right of the last one still open.
        Open("/titles");
        QVERIFY(WaitFor([&] { return Captions() == QStringList({"B", "B"}); }));
        const auto newest = [&] { return BrowserWindows().value(BrowserWindows()[0] == window); };
        QCOMPARE(newest()->pos(), window->pos() + QPoint(30, 30));
        // That one gone, the next cascades from the one before it.
        newest()->close();
        Open("/titles");
        QVERIFY(WaitFor([&] { return Captions() == QStringList({"B", "B"}); }));
        QCOMPARE(newest()->pos(), window->pos() + QPoint(30, 30));
    }

    void blankPopupsGetWindowsOfTheirOwnWithWhatWasWritten()
    {
        Open("/writer");
        QVERIFY2(WaitFor([] {
                     return Captions() == QStringList({"Writer", "打印预览", "稍后"});
                 }),
                 qPrintable(Captions().join(" / ")));
        QCOMPARE(EngineWindows(), 0);
        const TFormBrowser* printView = WindowCaptioned(QStringLiteral("打印预览"));
        QString text;
        printView->View()->page()->toPlainText([&](const QString& t) { text = t; });
        QVERIFY(WaitFor([&] { return text.contains(QStringLiteral("打印")); }));
    }

    void popupsBecomeFurtherWindowsThatCloseAlone()
    {
        const int tabs = VisibleTabs(*form_);
        Open("/opener");
        QVERIFY(WaitFor([] {
            return Captions() == QStringList({"Opener", "Popup 1", "Popup 2"});
        }));
        QCOMPARE(VisibleTabs(*form_), tabs);
        QCOMPARE(EngineWindows(), 0);
        QCOMPARE(server_.RequestsFor("/popup").back().Headers.value("accept-language"),
                 QStringLiteral("zh-CN"));

        TFormBrowser* closing = WindowCaptioned("Popup 1");
        QPointer<TFormBrowser> window(closing);
        QPointer<QWebEnginePage> page(closing->crm->Browser()->Page());
        closing->close();
        QVERIFY(WaitFor([&] { return !window && !page; }));
        QCOMPARE(Captions(), QStringList({"Opener", "Popup 2"}));
        QVERIFY(form_->isVisible());
        QVERIFY(!form_->Closing);
    }

    void floodsAreBoundedAndSelfClosingPagesLeaveNothingBehind()
    {
        // A hundred popups: the windows stop at the cap, the rest is told on the opener.
        Open("/flood");
        const int cap = TWindowBounds::Instance().MaxWindows();
        QVERIFY(WaitFor([&] { return Captions().filter("Popup ").size() == cap - 1; }, 60000));
        const auto notes = WindowCaptioned("Flood")->findChildren<QLabel*>("StripNote");
        QCOMPARE(notes.size(), 1);
        const QString told =
            QStringLiteral("已阻止此页面的弹出窗口：最多可同时打开 %1 个浏览器窗口").arg(cap);
        QVERIFY(WaitFor([&] { return notes.first()->text() == told; }));
        // So is an address handed over while the cap is reached, on the main window.
        Open("/popup?i=0");
        QCOMPARE(form_->PopupGate().WindowsHeldBack(), 1);
        QTest::qWait(300);
        QCOMPARE(BrowserWindows().size(), cap);
        QCOMPARE(EngineWindows(), 0);
        const auto flood = BrowserWindows();
        const QList<QPointer<TFormBrowser>> windows(flood.begin(), flood.end());
        for (TFormBrowser* window : flood)
            window->close();
        QVERIFY(WaitFor([&] { return windows.count(nullptr) == windows.size(); }));

        Open("/close-self");
        QPointer<TFormBrowser> selfClosing(BrowserWindows().value(0));
        QVERIFY(selfClosing);
        QVERIFY(WaitFor([&] { return !selfClosing; }));
        QVERIFY(form_->isVisible());
        QVERIFY(!form_->Closing);
    }

    void dialogsAreTheEnginesAndBoxesDoNotStopTheMessage()
    {
        Open("/popup?i=7");
        QVERIFY(WaitFor([] { return Captions() == QStringList({"Popup 7"}); }));
        {
            window_life::BoxWatcher boxes(QMessageBox::Ok);
            RunScriptIn(WindowCaptioned("Popup 7"),
                        "setTimeout(() => {"
                        "alert('ZEPHRIN:CLEAR_CACHE:'); document.title = 'ok' })");
            QVERIFY(WaitFor([] { return Captions() == QStringList({"ok"}); }));
            QCOMPARE(boxes.Seen().size(), 1);
            QCOMPARE(boxes.Seen().front().Text, QStringLiteral("ZEPHRIN:CLEAR_CACHE:"));
            QVERIFY(boxes.Seen().front().Title != ApplicationTitle());
            QVERIFY(!form_->Closing && !form_->ExitRequested && form_->isVisible());
        }

        bool opened = false;
        OnNextModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box || box->text() != "busy")
                return false;
            Open("/popup?i=5");
            opened = WaitFor([] { return Captions() == QStringList({"Popup 5", "ok"}); });
            // The box keeps the front: the new window waits behind it.
            opened = opened && QApplication::activeModalWidget() == box;
            box->button(QMessageBox::Ok)->click();
            return true;
        });
        AppMessageBox(QStringLiteral("busy"), MB_WARNING);
        QVERIFY(opened);
    }

    void findAndZoomActOnTheWindowsPage()
    {
        Open("/words");
        QVERIFY(WaitFor([&] { return WindowCaptioned("Words") != nullptr; }));
        TFormBrowser* window = WindowCaptioned("Words");
        QWebEngineView* view = window->View();
        QTest::keyClick(window->windowHandle(), Qt::Key_F, Qt::ControlModifier);
        TFindBar* bar = TFindBar::Of(view);
        QVERIFY(bar && bar->isVisible());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("apple"));
        QVERIFY(WaitFor([&] { return bar->CountText().endsWith(QStringLiteral("共 2 项")); }));

        // The zoom is the host's: the main window's start page, on the same host, follows.
        const auto percent = [](const QWebEngineView* v) { return qRound(v->zoomFactor() * 100); };
        QTest::keyClick(window->windowHandle(), Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(percent(view), 110);
        QVERIFY(WaitFor([&] { return percent(form_->Tabs().ActiveView()) == 110; }));
        QTest::keyClick(window->windowHandle(), Qt::Key_0, Qt::ControlModifier);
        QVERIFY(WaitFor([&] { return percent(form_->Tabs().ActiveView()) == 100; }));
    }

    void downloadAsksOverTheWindowAndJoinsTheClientsList()
    {
        QTemporaryDir place;
        Open("/words");
        QVERIFY(WaitFor([&] { return WindowCaptioned("Words") != nullptr; }));
        TFormBrowser* window = WindowCaptioned("Words");
        QPointer<QWidget> dialogParent;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (QWidget* modal = QApplication::activeModalWidget())
                dialogParent = modal->parentWidget();
        });
        watch.start(10);
        FileDialogAnswerer answer(place.filePath("report.csv"));
        RunScriptIn(window, "location = '/report'");
        QVERIFY(WaitFor([&] {
            const auto items = form_->DownloadsPanel().List()->Items();
            return items.size() == 1 && items[0]->State() == engine::TDownload::TState::Done;
        }));
        QCOMPARE(dialogParent.data(), window);
        QFile saved(place.filePath("report.csv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("a,b\n1,2\n"));
        // The window showed a page: it stays. One opened for the download alone goes once
        // the download has its place.
        FileDialogAnswerer again(place.filePath("again.csv"));
        Open("/report");
        QCOMPARE(BrowserWindows().size(), 2);
        QPointer<TFormBrowser> downloadOnly(BrowserWindows().value(BrowserWindows()[0] == window));
        QVERIFY(WaitFor([&] { return !downloadOnly; }));
        QCOMPARE(again.Shown(), 1);
        QCOMPARE(BrowserWindows(), QList<TFormBrowser*>({window}));
    }

private:
    void Open(const QString& path)
    {
        Deliver(*form_,
                new TAddressMessage(zph::WM_OPENBROWSERWINDOW, server_.Url(path).toString()));
    }

    TestServer server_{6868, Host};
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<BrowserWindowTest>(argc, argv);
}

#include "BrowserWindowTest.moc"
