// Browsing habits on real pages of the main window: find in page per tab, zoom kept per
// host in config.ini (also over a restart), back and forward by keys and mouse buttons,
// background tabs from a middle click, and reopening closed tabs.

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QWebEngineHistory>
#include <QWebEngineView>
#include <cmath>

#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "ui/FindBar.h"
#include "ui/PostedMessages.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.9.1");

void Press(TFormMain& form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
{
    QTest::keyClick(form.windowHandle(), key, modifiers);
}

int ZoomPercent(const QWebEngineView* view)
{
    return int(std::lround(view->zoomFactor() * 100));
}

QString PathOf(const QWebEngineView* view)
{
    return view->url().path();
}

// Types text, Chinese too, into the focused widget.
void Type(const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
}

// The widget of the view that takes the mouse (the engine makes it once the page shows).
QWidget* InputWidget(QWebEngineView* view)
{
    WaitFor([&] { return view->focusProxy() != nullptr; });
    return view->focusProxy();
}

void ClickButton(QWidget* widget, Qt::MouseButton button, QPoint at,
                 Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(widget, button, modifiers, at);
}

} // namespace

class BrowsingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        ServeService(server_,
                     "<html><head><title>Start</title></head><body>"
                     "<a id=link href='/popup?i=link' style='position:fixed;left:0;top:0;"
                     "width:300px;height:60px;display:block'>link</a>"
                     "<p style='margin-top:100px'>苹果 香蕉 苹果</p><p>苹果</p></body></html>");
        ServePopupPages(server_);
        server_.Page("/second", "<html><head><title>Second</title></head><body>2</body></html>");
        server_.Page("/third", "<html><head><title>Third</title></head><body>3</body></html>");
    }

    void init()
    {
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
    }

    void cleanup() { form_.reset(); }

    void findBarBelongsToItsTab()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        ClickTab(form, 1);
        QWebEngineView* start = form.Tabs().ActiveView();
        Press(form, Qt::Key_F);
        QPointer<TFindBar> bar = TFindBar::Of(start);
        QVERIFY(bar && bar->isVisible());
        QVERIFY(bar->isAncestorOf(QApplication::focusWidget()));
        Type(QStringLiteral("苹果"));
        QVERIFY(WaitFor([&] { return bar->CountText() == QStringLiteral("第 1 项，共 3 项"); }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(WaitFor([&] { return bar->CountText() == QStringLiteral("第 2 项，共 3 项"); }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(WaitFor([&] { return bar->CountText() == QStringLiteral("第 1 项，共 3 项"); }));
        // The bar sits along the bottom of the tab.
        QCOMPARE(bar->geometry().bottom(), bar->parentWidget()->rect().bottom());
        QCOMPARE(bar->width(), bar->parentWidget()->width());
        // Ctrl+F again (as a key held down) keeps the one bar.
        Press(form, Qt::Key_F);
        Press(form, Qt::Key_F);
        QCOMPARE(bar->parentWidget()->findChildren<TFindBar*>().size(), 1);

        // The popup tab has a bar of its own; the start tab's stays behind with its tab.
        ClickTab(form, 2);
        QWebEngineView* popup = form.Tabs().ActiveView();
        QVERIFY(!bar->isVisible());
        QVERIFY(!TFindBar::Of(popup));
        Press(form, Qt::Key_F);
        QPointer<TFindBar> popupBar = TFindBar::Of(popup);
        QVERIFY(popupBar && popupBar->isVisible());
        QVERIFY(popupBar->Text().isEmpty());
        Type(QStringLiteral("苹果"));
        QVERIFY(
            WaitFor([&] { return popupBar->CountText() == QStringLiteral("第 0 项，共 0 项"); }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!popupBar->isVisible());
        QVERIFY(popupBar->CountText().isEmpty());

        // Closing the tab closes its bar.
        Press(form, Qt::Key_W);
        QVERIFY(WaitFor([&] { return popupBar.isNull(); }));
        QCOMPARE(form.PageControl1->ActivePageIndex(), 1);
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(bar->Text(), QStringLiteral("苹果"));
    }

    void zoomIsKeptPerHost()
    {
        TFormMain& form = *form_;
        // Garbage from an earlier hand-edit, between lines that must stay.
        const QString config = fixture_.ConfigPath();
        QFile file(config);
        QVERIFY(file.open(QIODevice::Append));
        file.write("; kept\n[ZOOM]\n" + Host.toLatin1() + "=abc\nother.host=9999\n[EXTRA]\nA=1\n");
        file.close();
        QVERIFY(OpenPopups(form, 1));
        ClickTab(form, 1);
        QWebEngineView* start = form.Tabs().ActiveView();
        QWebEngineView* popup = TabOfPage(form, 2)->Page->findChild<QWebEngineView*>();
        QCOMPARE(ZoomPercent(start), 100);

        // Every page of the host follows, and config.ini says so; other lines stay.
        Press(form, Qt::Key_Equal);
        Press(form, Qt::Key_Plus);
        QCOMPARE(ZoomPercent(start), 125);
        QVERIFY(WaitFor([&] { return ZoomPercent(popup) == 125; }));
        auto* overlay = start->findChild<QLabel*>(QStringLiteral("ZoomOverlay"));
        QVERIFY(overlay && overlay->isVisible());
        QCOMPARE(overlay->text(), QStringLiteral("125%"));
        QByteArray bytes = window_life::ReadBytes(config);
        QVERIFY2(bytes.contains("; kept\n[ZOOM]\n" + Host.toLatin1() +
                                "=125\nother.host=9999\n[EXTRA]\nA=1\n"),
                 bytes.constData());
        QVERIFY(bytes.contains("[SERVICE]\nHOST=" + Host.toLatin1()));

        // Ctrl+wheel over the page: one notch a step; the page itself never sees it.
        QWheelEvent down(QPointF(50, 50), start->mapToGlobal(QPointF(50, 50)), {}, {0, -120},
                         Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(InputWidget(start), &down);
        QCOMPARE(ZoomPercent(start), 110);
        Press(form, Qt::Key_Minus);
        Press(form, Qt::Key_0);
        QCOMPARE(ZoomPercent(start), 100);
        QVERIFY(WaitFor([&] { return ZoomPercent(popup) == 100; }));

        // Bounds: never beyond 500 %, and kept over a restart for new pages of the host.
        for (int i = 0; i < 12; ++i)
            Press(form, Qt::Key_Equal);
        QCOMPARE(ZoomPercent(start), 500);
        form_.reset();
        form_ = fixture_.Restart(server_);
        QVERIFY(form_);
        QVERIFY(WaitFor([&] { return ZoomPercent(form_->Tabs().ActiveView()) == 500; }));
        QVERIFY(window_life::ReadBytes(config).contains("[EXTRA]\nA=1\n"));
    }

    void backAndForward()
    {
        TFormMain& form = *form_;
        QWebEngineView* view = form.Tabs().ActiveView();
        // Loaded as the user would (history skips entries a script made on its own).
        form.Tabs().Find(1)->Browser->GetMainFrame()->LoadURL(server_.Url("/second").toString());
        QVERIFY(WaitFor([&] { return PathOf(view) == "/second"; }));
        form.Tabs().Find(1)->Browser->GetMainFrame()->LoadURL(server_.Url("/third").toString());
        QVERIFY(WaitFor([&] { return PathOf(view) == "/third"; }));

        Press(form, Qt::Key_Left, Qt::AltModifier);
        QVERIFY(WaitFor([&] { return PathOf(view) == "/second"; }));
        Press(form, Qt::Key_Right, Qt::AltModifier);
        QVERIFY(WaitFor([&] { return PathOf(view) == "/third"; }));

        // A mouse button goes exactly one step, press and release together.
        QWidget* input = InputWidget(view);
        ClickButton(input, Qt::BackButton, {100, 100});
        QVERIFY(WaitFor([&] { return PathOf(view) == "/second" && !view->page()->isLoading(); }));
        ClickButton(input, Qt::ForwardButton, {100, 100});
        QVERIFY(WaitFor([&] { return PathOf(view) == "/third" && !view->page()->isLoading(); }));
        ClickButton(input, Qt::BackButton, {100, 100});
        QVERIFY(WaitFor([&] { return PathOf(view) == "/second" && !view->page()->isLoading(); }));
        QCOMPARE(view->history()->currentItemIndex(), 1);
    }

    void linkToBackgroundTab_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("middle click") << Qt::MiddleButton << Qt::KeyboardModifiers();
        QTest::newRow("Ctrl+click") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier);
    }

    void linkToBackgroundTab()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        TFormMain& form = *form_;
        ClickButton(InputWidget(form.Tabs().ActiveView()), button, {20, 20}, modifiers);
        QVERIFY(WaitFor([&] { return VisibleTabs(form) == 2; }));
        QVERIFY(WaitFor([&] { return form.PageControl1->Page(2)->Caption() == "Popup link"; }));
        QCOMPARE(form.PageControl1->ActivePageIndex(), 1);
        QCOMPARE(PathOf(form.Tabs().ActiveView()), QStringLiteral("/"));
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void reopenClosedTabs()
    {
        TFormMain& form = *form_;
        // Nothing closed yet: nothing happens.
        Press(form, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(VisibleTabs(form), 1);

        QVERIFY(OpenPopups(form, 11));
        for (int closed = 0; closed < 11; ++closed)
            Deliver(form, new TPageIndexMessage(2));
        QCOMPARE(VisibleTabs(form), 1);

        // The last ten come back, newest first, each active at its place: page 2.
        for (int i = 0; i < 11; ++i)
            Press(form, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(VisibleTabs(form), 11);
        for (int k = 0; k < 10; ++k) {
            TSkinTabSheet* page = form.PageControl1->Page(2 + k);
            QVERIFY(
                WaitFor([&] { return page->Caption() == QStringLiteral("Popup %1").arg(k + 1); }));
        }
        QCOMPARE(form.PageControl1->ActivePageIndex(), 2);
        QCOMPARE(PathOf(form.Tabs().ActiveView()), QStringLiteral("/popup"));
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

private:
    TestServer server_{6868, Host};
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<BrowsingTest>(argc, argv);
}

#include "BrowsingTest.moc"
