// Closing tabs through message 2039 and the keyboard: which tab becomes active, the
// start tab's close request, requests for pages without a tab, loading indices of the
// tabs behind a closed one; Ctrl+Tab, Ctrl+Shift+Tab and F5.

#include <QApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "ui/PostedMessages.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.2.1");
const QString TitleFormat = QStringLiteral("%1 - QuillmarkERP 1.0.0.2");

// A key with modifiers, pressed and released. The offscreen platform takes the modifiers
// of the last key event as the keyboard's state, and the release of Ctrl still carries
// Ctrl: a last release without modifiers leaves nothing held for what follows.
void PressKeys(TFormMain& form, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(form.windowHandle(), key, modifiers);
    QTest::keyRelease(form.windowHandle(), Qt::Key_Control, Qt::NoModifier);
}

QString ActiveCaption(const TFormMain& form)
{
    return form.PageControl1->ActivePage()->Caption();
}

} // namespace

class TabCloseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        ServeStartAndPopups(server_);
    }

    void init()
    {
        server_.ClearRequests();
        slow_.Hold();
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
        closeRequests_ = std::make_unique<CloseRequestCounter>(form_.get());
    }

    void cleanup()
    {
        slow_.Open();
        closeRequests_.reset();
        form_.reset();
    }

    void closingLastTabActivatesLeftNeighbour()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 2));
        QCOMPARE(form.PageControl1->ActivePageIndex(), 3);
        Deliver(form, new TPageIndexMessage(3));
        QCOMPARE(form.PageControl1->PageCount(), 4);
        QCOMPARE(form.PageControl1->ActivePageIndex(), 2);
        QCOMPARE(form.windowTitle(), TitleFormat.arg("Popup 0"));
        Deliver(form, new TPageIndexMessage(2));
        QCOMPARE(form.PageControl1->ActivePageIndex(), 1);
        QCOMPARE(form.windowTitle(), TitleFormat.arg("QuillmarkERP"));
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(closeRequests_->Count(), 0);
    }

    void closingKeepsTheActiveTabUnlessItIsTheClosedOne_data()
    {
        QTest::addColumn<int>("active");
        QTest::addColumn<QString>("shown");
        QTest::newRow("closed tab active: its follower") << 2 << "Popup 1";
        QTest::newRow("start tab active") << 1 << "QuillmarkERP";
        QTest::newRow("last tab active") << 4 << "Popup 2";
    }

    void closingKeepsTheActiveTabUnlessItIsTheClosedOne()
    {
        QFETCH(int, active);
        QFETCH(QString, shown);
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 3));
        ClickTab(form, active);
        QCOMPARE(form.PageControl1->ActivePageIndex(), active);
        const qint32 closedId = form.PageControl1->Page(2)->Tag;
        QPointer<TSkinTabSheet> closedPage = form.PageControl1->Page(2);

        Deliver(form, new TPageIndexMessage(2));
        QVERIFY(WaitFor([&] { return closedPage.isNull(); }));
        QVERIFY(!form.Tabs().Find(closedId));
        QCOMPARE(ActiveCaption(form), shown);
        QCOMPARE(form.windowTitle(), TitleFormat.arg(shown));
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void titleFollowsTheShownTab()
    {
        TFormMain& form = *form_;
        const auto retitle = [&](int page, const QString& title) {
            RunScript(form.Tabs().Of(form.PageControl1->Page(page)),
                      "document.title='" + title + "'");
            QVERIFY(WaitFor([&] { return form.PageControl1->Page(page)->Caption() == title; }));
        };
        const auto close2 = [&] { Deliver(form, new TPageIndexMessage(2)); };
        const QList<std::pair<std::function<void()>, QString>> steps{
            {[] {}, "QuillmarkERP"},
            {[&] { OpenPopups(form, 2); }, "Popup 1"},
            {[&] { retitle(3, "改名"); }, "改名"},
            {[&] { retitle(2, "背景"); }, "改名"},
            {[&] { ClickTab(form, 1); }, "QuillmarkERP"},
            {close2, "QuillmarkERP"}, // in the background
            {[&] { PressKeys(form, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier); },
             "Popup 0"},
            {close2, "改名"}, // the active tab: its follower
        };
        for (const auto& [act, shown] : steps) {
            act();
            QVERIFY2(WaitFor([&] { return form.windowTitle() == TitleFormat.arg(shown); }),
                     qPrintable(form.windowTitle()));
            QCOMPARE(ActiveCaption(form), shown);
        }
    }

    void startTabWithOnlyThreePagesMakesCloseRequest()
    {
        TFormMain& form = *form_;
        TBrowserTab* start = form.Tabs().Find(1);
        Deliver(form, new TPageIndexMessage(1));
        QCOMPARE(closeRequests_->Count(), 1);
        QVERIFY(!form.isVisible()); // no exit was asked for: the window only hides
        QCOMPARE(form.PageControl1->PageCount(), 3);
        QCOMPARE(form.Tabs().Find(1), start);
        QVERIFY(start->Browser->Page());
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void startTabWithMorePagesIsRemovedLikeAnyOther()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        QPointer<TSkinTabSheet> startPage = form.PageControl1->Page(1);
        Deliver(form, new TPageIndexMessage(1));
        QCOMPARE(closeRequests_->Count(), 0);
        QVERIFY(form.isVisible());
        QVERIFY(WaitFor([&] { return startPage.isNull(); }));
        QCOMPARE(form.PageControl1->PageCount(), 3);
        QCOMPARE(ActiveCaption(form), QStringLiteral("Popup 0"));
        // Id 1 is page 0's again.
        QCOMPARE(form.Tabs().Find(1)->Page.data(), form.PageControl1->Page(0));
    }

    void closeRequestForPageWithoutTabChangesNothing_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("fromCount"); // index counts from the page count
        QTest::newRow("page 0") << 0 << false;
        QTest::newRow("spare page") << -1 << true;
        QTest::newRow("one beyond") << 0 << true;
        QTest::newRow("far beyond") << 100000 << false;
        QTest::newRow("negative") << -1 << false;
    }

    void closeRequestForPageWithoutTabChangesNothing()
    {
        QFETCH(int, index);
        QFETCH(bool, fromCount);
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 2));
        ClickTab(form, 2);
        const int n = form.PageControl1->PageCount();
        const int p = fromCount ? n + index : index;
        const int registered = form.Tabs().Count();
        const QString title = form.windowTitle();

        Deliver(form, new TPageIndexMessage(p));
        QCOMPARE(form.PageControl1->PageCount(), n);
        QCOMPARE(form.Tabs().Count(), registered);
        QCOMPARE(form.PageControl1->ActivePageIndex(), 2);
        QCOMPARE(form.windowTitle(), title);
        QCOMPARE(closeRequests_->Count(), 0);
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void closingTabsKeepsTheLoadingOnesRight()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 3));
        RunScript(TabOfPage(form, 4), "location = '/slow'");
        QVERIFY(WaitFor([&] { return form.Tabs().LoadingPages() == QList<int>{4}; }));
        QVERIFY(form.StripControl().Animating());

        // A tab before it closes: it moves one place to the left, still loading.
        Deliver(form, new TPageIndexMessage(2));
        QCOMPARE(form.Tabs().LoadingPages(), QList<int>{3});
        Deliver(form, new TPageIndexMessage(3));
        QVERIFY(form.Tabs().LoadingPages().isEmpty());
        QVERIFY(WaitFor([&] { return !form.StripControl().Animating(); }));
    }

    // Whatever the order of popups, reopened tabs, titles and close requests (some for
    // pages without a tab), every tab page keeps exactly one record and the spare page
    // stays last.
    void recordsFollowThePagesThroughRandomSequences()
    {
        TFormMain& form = *form_;
        QRandomGenerator random(20261210);
        for (int step = 0; step < 40; ++step) {
            const int n = form.PageControl1->PageCount();
            switch (random.bounded(4)) {
            case 0:
                QVERIFY(OpenPopups(form, 1 + random.bounded(3)));
                break;
            case 1:
                PressKeys(form, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
                break;
            case 2:
                if (TBrowserTab* tab = TabOfPage(form, random.bounded(1, n - 1));
                    tab && tab->Browser)
                    form.crmTitleChange(qobject_cast<engine::TChromium*>(tab->BrowserWindow.data()),
                                        tab->Browser, QStringLiteral("T%1").arg(step));
                break;
            default:
                Deliver(form, new TPageIndexMessage(random.bounded(-1, n + 1)));
            }
            QVERIFY(WaitFor([&] {
                return form.PageControl1->Page(form.PageControl1->PageCount() - 2)->TabVisible();
            }));
            const QString problem = form.Tabs().LayoutProblem();
            QVERIFY2(problem.isEmpty(),
                     qPrintable(QStringLiteral("step %1: %2").arg(step).arg(problem)));
        }
    }

    void ctrlWClosesActiveTabButNeverStartTab()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 2));
        QVERIFY(ActivateWindow(form));
        PressKeys(form, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(WaitFor([&] { return form.PageControl1->PageCount() == 4; }));
        QCOMPARE(ActiveCaption(form), QStringLiteral("Popup 0"));
        PressKeys(form, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(WaitFor([&] { return form.PageControl1->PageCount() == 3; }));
        QCOMPARE(form.PageControl1->ActivePageIndex(), 1);

        PressKeys(form, Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(&form, zph::WM_CLOSETAB);
        QCOMPARE(form.PageControl1->PageCount(), 3);
        QCOMPARE(closeRequests_->Count(), 0);
        QVERIFY(form.isVisible());
    }

    void ctrlTabSwitchesTabs()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 2));
        QVERIFY(ActivateWindow(form));
        QCOMPARE(form.PageControl1->ActivePageIndex(), 3);
        const Qt::KeyboardModifiers back = Qt::ControlModifier | Qt::ShiftModifier;
        // Forward past the last tab wraps to the start tab, skipping hidden pages.
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int active;
        } steps[] = {{Qt::Key_Tab, Qt::ControlModifier, 1},
                     {Qt::Key_Tab, Qt::ControlModifier, 2},
                     {Qt::Key_Backtab, back, 1},
                     {Qt::Key_Backtab, back, 3},
                     {Qt::Key_Tab, back, 2}};
        for (const auto& step : steps) {
            PressKeys(form, step.key, step.modifiers);
            QCOMPARE(form.PageControl1->ActivePageIndex(), step.active);
            QCOMPARE(form.windowTitle(), TitleFormat.arg(ActiveCaption(form)));
        }
    }

    void f5ReloadsActiveTab()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        QVERIFY(ActivateWindow(form));
        QVERIFY(WaitFor([&] { return TabOfPage(form, 2)->Loaded; }));
        QCOMPARE(server_.RequestsFor("/popup").size(), size_t(1));
        const size_t startLoads = server_.RequestsFor("/").size();
        PressKeys(form, Qt::Key_F5);
        QVERIFY(WaitFor([&] { return server_.RequestsFor("/popup").size() == 2; }));
        QCOMPARE(server_.RequestsFor("/").size(), startLoads);
    }

private:
    static bool ActivateWindow(TFormMain& form)
    {
        form.activateWindow();
        return QTest::qWaitForWindowActive(&form);
    }

    TestServer server_{6868, Host};
    HeldPage slow_{server_, QStringLiteral("/slow"), "Slow"};
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
    std::unique_ptr<CloseRequestCounter> closeRequests_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<TabCloseTest>(argc, argv);
}

#include "TabCloseTest.moc"
