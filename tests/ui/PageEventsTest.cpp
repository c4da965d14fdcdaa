// Page events of the main window's tabs: title rules, the language header on every
// request, a page that closes itself, downloads, and the loading state.

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

#include "FileDialogAnswerer.h"
#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "engine/BrowserView.h"
#include "engine/DownloadList.h"
#include "engine/EngineProfile.h"
#include "ui/PostedMessages.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.3.1");

// Holds back new-tab requests until Release(), as if they arrived late.
class NewTabDelay : public QObject {
public:
    explicit NewTabDelay(QObject* window) : window_(window) { window->installEventFilter(this); }
    int Held() const { return int(held_.size()); }
    void Release()
    {
        window_->removeEventFilter(this);
        for (const TPopupInfo& info : held_)
            QCoreApplication::postEvent(window_, new TPopupMessage(info));
        held_.clear();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != zph::WM_NEWTAB)
            return false;
        held_.push_back(static_cast<TPopupMessage*>(event)->Info);
        return true;
    }

private:
    QObject* window_;
    std::vector<TPopupInfo> held_;
};

} // namespace

class PageEventsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        // The profile asks for another language, so the header the server sees is the
        // one the window's handler sets.
        engine::Profile()->setHttpAcceptLanguage(QStringLiteral("en-US"));
        engine::Profile()->setDownloadPath(downloads_.path());
        ServeService(server_, "<html><head><title>Start</title></head><body>"
                              "<img src='/img.png'><script>"
                              "const x = new XMLHttpRequest(); x.open('GET', '/xhr'); x.send();"
                              "</script></body></html>");
        server_.Page("/img.png",
                     QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAf"
                                            "FcSJAAAADUlEQVR42mNk+M9QDwAFgwJ/lQ2cJQAA"
                                            "AABJRU5ErkJggg=="),
                     "image/png");
        server_.Page("/xhr", "x", "text/plain");
        server_.Handle("/download", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"report.txt\"");
            res.set_content("quillmark", "application/octet-stream");
        });
        ServePopupPages(server_);
    }

    void init()
    {
        server_.ClearRequests();
        slow_.Hold();
        QDir(downloads_.path()).removeRecursively();
        QDir().mkpath(downloads_.path());
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
    }

    void cleanup()
    {
        slow_.Open();
        form_.reset();
        // Popups the engine opened in windows of their own.
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<engine::BrowserView*>(widget))
                delete widget;
    }

    void startTabKeepsItsNameWhateverItsPageIsTitled()
    {
        TFormMain& form = *form_;
        TBrowserTab* start = form.Tabs().Find(1);
        QCOMPARE(start->Browser->Page()->title(), QStringLiteral("Start"));
        QCOMPARE(form.PageControl1->Page(1)->Caption(), QStringLiteral("QuillmarkERP"));
        RunScript(start, "document.title = 'Something else'");
        QVERIFY(WaitFor([&] { return start->Browser->Page()->title() == "Something else"; }));
        QCOMPARE(form.PageControl1->Page(1)->Caption(), QStringLiteral("QuillmarkERP"));
    }

    void blankTitlesChangeNoCaption_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   \t ";
        QTest::newRow("about:blank") << "about:blank";
        QTest::newRow("padded about:blank") << "  about:blank  ";
    }

    void blankTitlesChangeNoCaption()
    {
        QFETCH(QString, title);
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        TBrowserTab* popup = TabOfPage(form, 2);
        form.crmTitleChange(StartView(form), popup->Browser, title);
        QCOMPARE(form.PageControl1->Page(2)->Caption(), QStringLiteral("Popup 0"));
        form.crmTitleChange(StartView(form), form.Tabs().Find(1)->Browser, title);
        QCOMPARE(form.PageControl1->Page(1)->Caption(), QStringLiteral("QuillmarkERP"));
    }

    void blankTitleFromPageChangesNoCaption()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        TBrowserTab* popup = TabOfPage(form, 2);
        RunScript(popup, "document.title = 'about:blank'");
        QVERIFY(WaitFor([&] { return popup->Browser->Page()->title() == "about:blank"; }));
        QCOMPARE(form.PageControl1->Page(2)->Caption(), QStringLiteral("Popup 0"));
        RunScript(popup, "document.title = 'Renamed'");
        QVERIFY(WaitFor([&] { return form.PageControl1->Page(2)->Caption() == "Renamed"; }));
    }

    void popupCaptionIsTitleAsReceived()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        const QString padded = QStringLiteral("  Padded \t Title  ");
        form.crmTitleChange(StartView(form), TabOfPage(form, 2)->Browser, padded);
        QCOMPARE(form.PageControl1->Page(2)->Caption(), padded);
    }

    void titleBeforeNewTabRequestMakesTheRecordTheTabKeeps()
    {
        TFormMain& form = *form_;
        NewTabDelay delay(&form);
        RunScript(form.Tabs().Find(1), "window.open('/popup?i=0')");
        QVERIFY(WaitFor([&] { return delay.Held() == 1; }));
        TSkinTabSheet* page = form.PageControl1->Page(2);
        // The title binds a record of its own to the page, whose tab is still hidden.
        QVERIFY(WaitFor([&] { return page->Caption() == "Popup 0"; }));
        TBrowserTab* early = form.Tabs().Find(page->Tag);
        QVERIFY(early);
        QVERIFY(early->Browser);
        QVERIFY(!page->TabVisible());

        delay.Release();
        QVERIFY(WaitFor([&] { return page->TabVisible(); }));
        QCOMPARE(form.Tabs().Of(page), early);
        QVERIFY(early->IsPopup && early->BrowserWindow);
        QCOMPARE(early->BrowserWindow->parentWidget(), page);
        QCOMPARE(page->Caption(), QStringLiteral("QuillmarkERP"));
        const QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        RunScript(early, "document.title = 'Later'");
        QVERIFY(WaitFor([&] { return page->Caption() == "Later"; }));

        const int records = form.Tabs().Count();
        Deliver(form, new TPageIndexMessage(2));
        QVERIFY(!form.Tabs().Find(page->Tag));
        QCOMPARE(form.Tabs().Count(), records - 1);
    }

    void everyRequestAsksForChinese()
    {
        TFormMain& form = *form_;
        QVERIFY(WaitFor([&] { return !server_.RequestsFor("/xhr").empty(); }));
        QVERIFY(OpenPopups(form, 1));
        for (const QString path : {"/", "/img.png", "/xhr", "/popup"}) {
            const auto requests = server_.RequestsFor(path);
            QVERIFY2(!requests.empty(), qPrintable(path));
            QCOMPARE(requests.back().Headers.value("accept-language"), QStringLiteral("zh-CN"));
        }
    }

    void pageClosingItselfClosesItsTabAndLeavesTheClientWhole()
    {
        TFormMain& form = *form_;
        CloseRequestCounter closeRequests(&form);
        QVERIFY(OpenPopups(form, 3));
        // The middle popup's page closes itself, as a "save and close" page does.
        QPointer<TSkinTabSheet> closing = form.PageControl1->Page(3);
        RunScript(TabOfPage(form, 3), "window.close()");
        QVERIFY(WaitFor([&] { return !closing; }));
        QCOMPARE(VisibleTabs(form), 3);
        QCOMPARE(form.PageControl1->Page(3)->Caption(), QStringLiteral("Popup 2"));
        QCOMPARE(closeRequests.Count(), 0);
        QVERIFY(!form.Closing && form.ConfirmExit && form.isVisible());
        QString problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        // More popups and titles go on as before.
        QVERIFY(OpenPopups(form, 2));
        QCOMPARE(VisibleTabs(form), 5);
        TBrowserTab* popup = TabOfPage(form, 2);
        RunScript(popup, "document.title = 'After'");
        QVERIFY(WaitFor([&] { return form.PageControl1->Page(2)->Caption() == "After"; }));

        // The start tab's page closing itself hides the window, and nothing else.
        RunScript(form.Tabs().Find(1), "window.close()");
        QVERIFY(WaitFor([&] { return closeRequests.Count() == 1; }));
        QVERIFY(!form.isVisible());
        QVERIFY(!form.Closing && form.ConfirmExit && !form.ExitRequested);
        QCOMPARE(VisibleTabs(form), 5);
        form.NShowMainClick();
        QVERIFY(form.isVisible());
        RunScript(popup, "document.title = 'Shown again'");
        QVERIFY(WaitFor([&] { return form.PageControl1->Page(2)->Caption() == "Shown again"; }));
        QVERIFY(OpenPopups(form, 1));
        QCOMPARE(VisibleTabs(form), 6);
        problem = form.Tabs().LayoutProblem();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void downloadShowsSaveDialogWithSuggestedName()
    {
        TFormMain& form = *form_;
        // The user keeps the place offered and changes the name.
        FileDialogAnswerer answer(QStringLiteral("saved.txt"));
        RunScript(form.Tabs().Find(1), "location = '/download'");
        QVERIFY(WaitFor([&] { return answer.Shown() == 1; }));
        QCOMPARE(answer.Offered(), QStringLiteral("report.txt"));
        QVERIFY(WaitFor([&] {
            QFile file(downloads_.filePath(QStringLiteral("saved.txt")));
            return file.open(QIODevice::ReadOnly) && file.readAll() == "quillmark";
        }));
        QVERIFY(!QFile::exists(downloads_.filePath(QStringLiteral("report.txt"))));
    }

    void cancelledSaveDialogSavesNothing()
    {
        TFormMain& form = *form_;
        FileDialogAnswerer answer({});
        RunScript(form.Tabs().Find(1), "location = '/download'");
        // The transfer runs into its part file meanwhile; cancelled, it leaves nothing.
        QVERIFY(WaitFor([&] { return answer.Shown() == 1 && !QApplication::activeModalWidget(); }));
        QVERIFY(
            WaitFor([&] { return QDir(form.DownloadsPanel().List()->PartDirectory()).isEmpty(); }));
        QVERIFY(form.DownloadsPanel().List()->Items().isEmpty());
        QVERIFY(QDir(downloads_.path()).isEmpty());
    }

    void downloadDoesNotStartWhileClosing()
    {
        TFormMain& form = *form_;
        form.Closing = true;
        FileDialogAnswerer answer({});
        const auto states = DownloadStates(form);
        QVERIFY(!states.isEmpty());
        QCOMPARE(states.first(), QWebEngineDownloadRequest::DownloadCancelled);
        QCOMPARE(answer.Shown(), 0);
        QVERIFY(QDir(downloads_.path()).isEmpty());
    }

    void loadingTabsAreListedOnceAndAnimatedUntilLoaded()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        QVERIFY(WaitFor([&] { return !form.StripControl().Animating(); }));
        TBrowserTab* start = form.Tabs().Find(1);
        TBrowserTab* popup = TabOfPage(form, 2);
        QVERIFY(start->Loaded && popup->Loaded);

        RunScript(popup, "location = '/slow'");
        QVERIFY(WaitFor([&] { return form.Tabs().LoadingPages() == QList<int>{2}; }));
        QVERIFY(!popup->Loaded);
        QVERIFY(form.StripControl().Animating());
        // A second report that it started loading lists it no second time.
        form.crmLoadingStateChange(StartView(form), popup->Browser, true, false, false);
        QCOMPARE(form.Tabs().LoadingPages(), QList<int>{2});
        RunScript(start, "location = '/slow'");
        QVERIFY(WaitFor([&] { return form.Tabs().LoadingPages() == QList<int>({1, 2}); }));

        // The timer's ticks drive the animation while tabs load.
        const int frame = popup->LoadingFrame;
        QVERIFY(WaitFor([&] { return popup->LoadingFrame != frame; }));

        slow_.Open();
        QVERIFY(WaitFor([&] { return start->Loaded && popup->Loaded; }));
        QVERIFY(form.Tabs().LoadingPages().isEmpty());
        QVERIFY(WaitFor([&] { return !form.StripControl().Animating(); }));
        QCOMPARE(form.PageControl1->Page(2)->Caption(), QStringLiteral("Slow"));
    }

    void stopReportMarksTabLoadedWhenNotListed()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        TBrowserTab* popup = TabOfPage(form, 2);
        QVERIFY(WaitFor([&] { return popup->Loaded; }));
        QVERIFY(form.Tabs().LoadingPages().isEmpty());
        popup->Loaded = false;
        form.crmLoadingStateChange(StartView(form), popup->Browser, false, false, false);
        QVERIFY(popup->Loaded);
        QVERIFY(form.Tabs().LoadingPages().isEmpty());
    }

private:
    // Starts the service's download in the start tab; the states the engine's requests
    // ended in (empty when none came or one has not ended).
    QList<QWebEngineDownloadRequest::DownloadState> DownloadStates(TFormMain& form)
    {
        QList<QPointer<QWebEngineDownloadRequest>> requests;
        connect(engine::Profile(), &QWebEngineProfile::downloadRequested, this,
                [&](QWebEngineDownloadRequest* download) { requests << download; });
        RunScript(form.Tabs().Find(1), "location = '/download'");
        const bool ended = WaitFor([&] {
            return !requests.isEmpty() && std::all_of(requests.begin(), requests.end(),
                                                      [](auto& r) { return r && r->isFinished(); });
        });
        disconnect(engine::Profile(), &QWebEngineProfile::downloadRequested, this, nullptr);
        QList<QWebEngineDownloadRequest::DownloadState> states;
        for (const auto& request : std::as_const(requests))
            if (ended)
                states << request->state();
        return states;
    }

    // The start tab's view: the one every popup of the window reports through.
    static engine::TChromium* StartView(const TFormMain& form)
    {
        return qobject_cast<engine::TChromium*>(form.Tabs().Find(1)->BrowserWindow.data());
    }

    TestServer server_{6868, Host};
    HeldPage slow_{server_, QStringLiteral("/slow"), "Slow"};
    QTemporaryDir downloads_;
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<PageEventsTest>(argc, argv);
}

#include "PageEventsTest.moc"
