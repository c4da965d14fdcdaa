// Popups become tabs of the main window: caption, registration, page layout, window
// title, Ctrl for background tabs, popups of popups, bursts, and the popup's window
// filling its page.

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "engine/BrowserView.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.1.1");
const QString TitleFormat = QStringLiteral("%1 - QuillmarkERP 1.0.0.2");

// The browser windows a popup left in its page.
QList<engine::BrowserView*> ViewsIn(const TSkinTabSheet* page)
{
    return page->findChildren<engine::BrowserView*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

class PopupTabsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        ServeService(server_,
                     "<html><head><title>Start</title></head><body>"
                     "<a id=blank href='/popup?i=link' target=_blank>link</a></body></html>");
        ServePopupPages(server_);
    }

    void init()
    {
        server_.ClearRequests();
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
    }

    void cleanup() { form_.reset(); }

    void popupBecomesActiveTitledTab_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("caption");
        QTest::newRow("window.open") << "window.open('/popup?i=1')"
                                     << "Popup 1";
        QTest::newRow("target=_blank") << "document.getElementById('blank').click()"
                                       << "Popup link";
    }

    void popupBecomesActiveTitledTab()
    {
        QFETCH(QString, script);
        QFETCH(QString, caption);
        TFormMain& form = *form_;
        RunScript(form.Tabs().Find(1), script);
        QVERIFY(WaitFor([&] { return VisibleTabs(form) == 2; }));
        TSkinTabSheet* page = form.PageControl1->Page(2);
        QCOMPARE(form.PageControl1->ActivePageIndex(), 2);
        QVERIFY(WaitFor([&] { return page->Caption() == caption; }));
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        TBrowserTab* tab = form.Tabs().Find(page->Tag);
        QVERIFY(tab->IsPopup);
        QCOMPARE(tab->Browser->Page()->url().path(), QStringLiteral("/popup"));
        QCOMPARE(ViewsIn(page).size(), 1);
        QCOMPARE(tab->BrowserWindow.data(), ViewsIn(page).first());
        // The strip shows it: its tab lies right of the start tab.
        QCOMPARE(form.PageControl1->PageAtX(form.PageControl1->TabRect(2).center().x()), 2);

        QCOMPARE(form.windowTitle(), TitleFormat.arg(caption));
        ClickTab(form, 1);
        QCOMPARE(form.windowTitle(), TitleFormat.arg("QuillmarkERP"));
        ClickTab(form, 2);
        QCOMPARE(form.PageControl1->ActivePageIndex(), 2);
        QCOMPARE(form.windowTitle(), TitleFormat.arg(caption));
    }

    void popupWindowFillsItsPage()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        TSkinTabSheet* page = form.PageControl1->Page(2);
        QCOMPARE(page->size(), form.PageControl1->Page(1)->size());
        QCOMPARE(ViewsIn(page).first()->geometry(), page->rect());

        // Resized while in the background, it is fitted when selected.
        ClickTab(form, 1);
        form.resize(form.size() - QSize(150, 100));
        QVERIFY(WaitFor([&] { return page->size() == form.PageControl1->Page(1)->size(); }));
        ClickTab(form, 2);
        QCOMPARE(ViewsIn(page).first()->geometry(), page->rect());
    }

    void popupOpenedWithCtrlHeldStaysInBackground()
    {
        TFormMain& form = *form_;
        QTest::keyPress(form.windowHandle(), Qt::Key_Control, Qt::ControlModifier);
        RunScript(form.Tabs().Find(1), "window.open('/popup?i=1')");
        const bool opened = WaitFor([&] { return VisibleTabs(form) == 2; });
        QTest::keyRelease(form.windowHandle(), Qt::Key_Control, Qt::NoModifier);
        QVERIFY(opened);
        QCOMPARE(form.PageControl1->ActivePageIndex(), 1);
        QVERIFY(WaitFor([&] { return form.PageControl1->Page(2)->Caption() == "Popup 1"; }));
        QVERIFY(form.PageControl1->Page(2)->TabVisible());

        // Without Ctrl the next one comes to the front.
        RunScript(form.Tabs().Find(1), "window.open('/popup?i=2')");
        QVERIFY(WaitFor([&] { return VisibleTabs(form) == 3; }));
        QCOMPARE(form.PageControl1->ActivePageIndex(), 3);
    }

    void blankPopupsShowWhatTheirOpenerWrote()
    {
        TFormMain& form = *form_;
        RunScript(form.Tabs().Find(1), QString::fromUtf8(WriteIntoBlankPopups));
        const auto captioned = [&](int index, const QString& caption) {
            return WaitFor([&] {
                const TSkinTabSheet* page = form.PageControl1->Page(index);
                return page && page->Caption() == caption;
            });
        };
        QVERIFY(captioned(3, QStringLiteral("稍后")));
        // The print view is painted only when its tab is shown.
        ClickTab(form, 2);
        QVERIFY(captioned(2, QStringLiteral("打印预览")));
        QString text;
        TabOfPage(form, 2)->Browser->Page()->toPlainText([&](const QString& t) { text = t; });
        QVERIFY(WaitFor([&] { return text.contains(QStringLiteral("打印")); }));
    }

    void popupOfPopupBecomesTab()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        TBrowserTab* first = TabOfPage(form, 2);
        QVERIFY(first->Browser);
        RunScript(first, "window.open('/popup?i=2')");
        QVERIFY(WaitFor([&] { return VisibleTabs(form) == 3; }));
        TSkinTabSheet* page = form.PageControl1->Page(3);
        QVERIFY(WaitFor([&] { return page->Caption() == "Popup 2"; }));
        QCOMPARE(form.PageControl1->ActivePageIndex(), 3);
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(TabOfPage(form, 3)->Browser->Page()->url().query(), QStringLiteral("i=2"));
    }

    void popupsOverABoundAreHeldBackAndCounted_data()
    {
        QTest::addColumn<int>("maxTabs");
        QTest::addColumn<int>("chainLimit");
        QTest::addColumn<QString>("note");
        QTest::newRow("per chain")
            << 200 << 3 << "已阻止此页面的弹出窗口：此页面短时间内打开的弹出窗口过多";
        QTest::newRow("open tabs")
            << 4 << 50 << "已阻止此页面的弹出窗口：最多可同时打开 4 个标签页";
    }

    void popupsOverABoundAreHeldBackAndCounted()
    {
        QFETCH(int, maxTabs);
        QFETCH(int, chainLimit);
        TFormMain& form = *form_;
        form.PopupGate().SetBounds(core::TPopupBounds(maxTabs, chainLimit));
        // Five popups, three of them within the bound: no page is left without its tab.
        RunScript(form.Tabs().Find(1), "for (let i = 0; i < 5; ++i) window.open('/popup?i=' + i)");
        QVERIFY(WaitFor(
            [&] { return form.PopupGate().PopupsHeldBack() >= 1 && VisibleTabs(form) == 4; }));
        QVERIFY(WaitFor([&] { return form.PageControl1->Page(4)->Caption() == "Popup 2"; }));
        QTest::qWait(300);
        QCOMPARE(VisibleTabs(form), 4);
        QCOMPARE(server_.RequestsFor("/popup").size(), size_t(3));
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // One note for the burst, with its count.
        const auto notes = form.PageControl1->Strip()->findChildren<QLabel*>("StripNote");
        QCOMPARE(notes.size(), 1);
        QVERIFY(notes.first()->isVisible());
        QTEST(notes.first()->text(), "note");
        // Further popups of the page are refused by the engine, before anything is made.
        QVariant refused;
        form.Tabs().Find(1)->Browser->Page()->runJavaScript(
            "window.open('/popup?i=9') === null", [&](const QVariant& v) { refused = v; });
        QVERIFY(WaitFor([&] { return refused.isValid(); }));
        QVERIFY(refused.toBool());
    }

    void refusedAddressesLeaveNoTab()
    {
        TFormMain& form = *form_;
        // The engine shows no data: address at the top level.
        RunScript(form.Tabs().Find(1), "window.open('data:text/html,<title>D</title>');"
                                       "window.open('DATA:text/plain,x');"
                                       "window.open('/popup?i=0')");
        QVERIFY(WaitFor([&] { return form.PageControl1->Page(2)->Caption() == "Popup 0"; }));
        QTest::qWait(500);
        QCOMPARE(VisibleTabs(form), 2);
        QCOMPARE(form.PageControl1->PageCount(), 4);
        QCOMPARE(form.PopupGate().PopupsHeldBack(), 0);
    }

    void burstOfPopupsGivesOneTabEach()
    {
        constexpr int Burst = 50;
        TFormMain& form = *form_;
        // Each popup has a page of its own, in opening order, and its own title.
        QVERIFY(OpenPopups(form, Burst, 60000));
        QCOMPARE(form.PageControl1->PageCount(), 3 + Burst);
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        for (int i = 0; i < Burst; ++i) {
            TSkinTabSheet* page = form.PageControl1->Page(2 + i);
            QCOMPARE(ViewsIn(page).size(), 1);
            QCOMPARE(ViewsIn(page).first()->geometry(), page->rect());
        }
        QVERIFY(ViewsIn(form.PageControl1->Page(2 + Burst)).isEmpty());
        QCOMPARE(server_.RequestsFor("/popup").size(), size_t(Burst));
    }

private:
    TestServer server_{6868, Host};
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<PopupTabsTest>(argc, argv);
}

#include "PopupTabsTest.moc"
