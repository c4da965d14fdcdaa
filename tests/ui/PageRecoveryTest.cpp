// Pages that cannot be shown come back: a tab whose renderer is killed shows the
// client's own page and reloads (the start tab once by itself), and a start page that
// cannot be loaded is retried, with a freshly composed address, until it loads.

#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "engine/BrowserView.h"
#include "ui/PageProblem.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.10.1");
// Nothing listens here until a test starts a server; the next address serves the start page.
const QString LateHost = QStringLiteral("127.44.10.2");
const QString OtherHost = QStringLiteral("127.44.10.3");

TPageProblem* ProblemOf(const TBrowserTab* tab)
{
    return TPageProblem::Of(tab->Browser->Window());
}

bool KillRenderer(const TBrowserTab* tab)
{
    const qint64 pid = tab->Browser->Page()->renderProcessPid();
    return pid > 0 && ::kill(pid_t(pid), SIGKILL) == 0;
}

void F5(TFormMain& form)
{
    form.activateWindow();
    QTest::keyClick(form.windowHandle(), Qt::Key_F5);
}

void WriteHost(const QTemporaryDir& dir, const QString& host)
{
    QFile config(dir.filePath(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
    config.write(QStringLiteral("[SERVICE]\nHOST=%1\n[WIN]\nLEFT=0\nTOP=0\nRIGHT=1000\n"
                                "BOTTOM=700\nSTATE=0\n")
                     .arg(host)
                     .toUtf8());
}

// A window whose start address has not arrived yet, with short retry pauses.
std::unique_ptr<TFormMain> OpenWithoutService(const QTemporaryDir& dir, const QString& host,
                                              std::vector<int> pausesMs)
{
    WriteHost(dir, host);
    TFormMainOptions options;
    options.StartRetryPausesMs = std::move(pausesMs);
    options.FirstByteTimeoutMs = 1500;
    AppDir = dir.path() + QLatin1Char('/');
    auto form = std::make_unique<TFormMain>(std::move(options));
    form->TrayAvailable = true;
    form->show();
    return form;
}

QString StartCaption(const TFormMain& form)
{
    return form.PageControl1->Page(1)->Caption();
}

} // namespace

class PageRecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        ServeStartAndPopups(server_);
    }

    void killedRendererShowsReloadPageAndTheStartTabReloadsOnce()
    {
        TFormMainOptions options;
        options.CrashReloadDelayMs = 300;
        auto form = fixture_.Open(server_, MainWindowFixture::DefaultSize, options);
        QVERIFY(form);
        TBrowserTab* start = form->Tabs().Find(1);
        const size_t loads = server_.RequestsFor("/").size();

        // First crash: the client's page, then the start address again by itself.
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("renderer of http://127.44.10.1:6868/\\?.* killed "
                                                "with exit status 9"));
        QVERIFY(KillRenderer(start));
        QVERIFY(WaitFor([&] { return ProblemOf(start) != nullptr; }));
        QCOMPARE(ProblemOf(start)->Button()->text(), QStringLiteral("重新加载"));
        QVERIFY(ProblemOf(start)->isVisible());
        QVERIFY(WaitFor([&] {
            return server_.RequestsFor("/").size() == loads + 1 && !ProblemOf(start) &&
                   start->Loaded;
        }));
        QCOMPARE(server_.RequestsFor("/").back().Query.contains("ComputerName="), true);

        // Second crash within a minute: the page waits for the user.
        QVERIFY(KillRenderer(start));
        QVERIFY(WaitFor([&] { return ProblemOf(start) != nullptr; }));
        QTest::qWait(800);
        QVERIFY(ProblemOf(start));
        QCOMPARE(server_.RequestsFor("/").size(), loads + 1);
        // F5 reloads it.
        F5(*form);
        QVERIFY(WaitFor([&] {
            return server_.RequestsFor("/").size() == loads + 2 && !ProblemOf(start) &&
                   start->Loaded;
        }));

        // A popup tab's renderer: its page waits for the button; the strip carries on.
        QVERIFY(OpenPopups(*form, 2));
        TBrowserTab* popup = TabOfPage(*form, 2);
        TBrowserTab* other = TabOfPage(*form, 3);
        const bool shared = other->Browser->Page()->renderProcessPid() ==
                            popup->Browser->Page()->renderProcessPid();
        QVERIFY(KillRenderer(popup));
        QVERIFY(WaitFor([&] { return ProblemOf(popup) != nullptr; }));
        QCOMPARE(ProblemOf(other) != nullptr, shared);
        QCOMPARE(VisibleTabs(*form), 3);
        QTest::qWait(500);
        QCOMPARE(server_.RequestsFor("/popup").size(), size_t(2));
        QTest::mouseClick(ProblemOf(popup)->Button(), Qt::LeftButton);
        QVERIFY(WaitFor([&] {
            return server_.RequestsFor("/popup").size() == 3 && !ProblemOf(popup) && popup->Loaded;
        }));
        QCOMPARE(form->PageControl1->Page(2)->Caption(), QStringLiteral("Popup 0"));
        QVERIFY(form->isVisible());
    }

    void unreachableServiceIsRetriedUntilItAppears()
    {
        QTemporaryDir dir;
        auto form = OpenWithoutService(dir, LateHost, {400, 800, 1200});

        // Connection refused: the client's page, the caption, and a retry on its way.
        QVERIFY(WaitFor([&] { return form->Service().Unreachable(); }));
        TBrowserTab* start = form->Tabs().Find(1);
        TPageProblem* problem = ProblemOf(start);
        QVERIFY(problem && problem->isVisible());
        QVERIFY2(problem->Text().contains("127.44.10.2:6868"), qPrintable(problem->Text()));
        QCOMPARE(problem->Button()->text(), QStringLiteral("重试"));
        QCOMPARE(StartCaption(*form), QStringLiteral("无法连接服务"));
        QCOMPARE(form->windowTitle(), QStringLiteral("无法连接服务 - QuillmarkERP 1.0.0.2"));
        QVERIFY(start->Loaded);

        // The service comes up answering 503: still unreachable, retried with growing pauses.
        TestServer failing(6868, LateHost);
        failing.Handle("/", [](const httplib::Request&, httplib::Response& res) {
            res.status = 503;
            res.set_content("<html><head><title>Down</title></head></html>", "text/html");
        });
        QVERIFY(WaitFor([&] {
            return failing.RequestsFor("/").size() >= 3 &&
                   StartCaption(*form) == QStringLiteral("无法连接服务");
        }));
        QVERIFY(form->Service().Unreachable());

        // "重试" retries at once; pressed twice, it still makes one attempt.
        QVERIFY(WaitFor([&] { return ProblemOf(start)->Button()->isEnabled(); }));
        const size_t before = failing.RequestsFor("/").size();
        QTest::mouseClick(ProblemOf(start)->Button(), Qt::LeftButton);
        QTest::mouseClick(ProblemOf(start)->Button(), Qt::LeftButton);
        QVERIFY(WaitFor([&] { return failing.RequestsFor("/").size() == before + 1; }, 1000));
        QTest::qWait(300);
        QCOMPARE(failing.RequestsFor("/").size(), before + 1);

        // The service moves: the next attempt composes the address again and finds it.
        TestServer service(6868, OtherHost);
        ServeStartAndPopups(service);
        WriteHost(dir, OtherHost);
        QVERIFY(WaitFor([&] { return !service.RequestsFor("/").empty() && start->Loaded; }));
        QVERIFY(WaitFor([&] { return !form->Service().Unreachable() && !ProblemOf(start); }));
        QVERIFY(service.RequestsFor("/").front().Query.contains("ComputerName="));
        QCOMPARE(StartCaption(*form), QStringLiteral("QuillmarkERP"));
        QCOMPARE(form->windowTitle(), QStringLiteral("QuillmarkERP - QuillmarkERP 1.0.0.2"));
        // Nothing is retried any more.
        const size_t failed = failing.RequestsFor("/").size();
        QTest::qWait(1500);
        QCOMPARE(failing.RequestsFor("/").size(), failed);
        QCOMPARE(service.RequestsFor("/").size(), size_t(1));
    }

    void serviceLostAfterStartComesBackByItself()
    {
        // "/" answers as asked: 0 the start page, 1 a redirect loop.
        auto mode = std::make_shared<std::atomic<int>>(0);
        const auto serve = [mode](TestServer& service) {
            service.Page("/ver/ver.html", R"({"Version":"1.0.0.2","Info":""})");
            service.Handle("/", [mode](const httplib::Request&, httplib::Response& res) {
                if (*mode == 1)
                    return res.set_redirect("/?loop");
                res.set_content("<title>Start</title>", "text/html");
            });
        };
        auto service = std::make_unique<TestServer>(6868, LateHost);
        serve(*service);
        QTemporaryDir dir;
        auto form = OpenWithoutService(dir, LateHost, {400, 800});
        TBrowserTab* start = nullptr;
        QVERIFY(WaitFor([&] { return (start = form->Tabs().Find(1)) && start->Loaded; }));

        // The service goes away and the user reloads: the client's page, and retries.
        service.reset();
        F5(*form);
        QVERIFY(WaitFor([&] { return form->Service().Unreachable() && ProblemOf(start); }));
        QCOMPARE(StartCaption(*form), QStringLiteral("无法连接服务"));
        // It answers with a redirect loop: still unreachable, still retried.
        *mode = 1;
        service = std::make_unique<TestServer>(6868, LateHost);
        serve(*service);
        QVERIFY(WaitFor([&] { return service->RequestsFor("/").size() >= 40; }));
        QVERIFY(form->Service().Unreachable());
        // Then it is whole again: the start page comes back without anybody's help.
        *mode = 0;
        QVERIFY(WaitFor([&] { return !form->Service().Unreachable() && !ProblemOf(start); }));
        QCOMPARE(start->Browser->Page()->title(), QStringLiteral("Start"));
    }

    void silentServiceFailsAfterTheFirstByteWaitSlowOneDoesNot()
    {
        // The first answer never comes; later ones trickle in for longer than the wait.
        TestServer service(6868, LateHost);
        auto attempts = std::make_shared<std::atomic<int>>(0);
        service.Handle("/", [attempts](const httplib::Request&, httplib::Response& res) {
            if ((*attempts)++ == 0) {
                std::this_thread::sleep_for(std::chrono::seconds(4));
                return;
            }
            res.set_chunked_content_provider(
                "text/html", [](size_t offset, httplib::DataSink& sink) {
                    if (offset == 0) {
                        const std::string head = "<html><head><title>Slow</title></head><body>";
                        sink.write(head.data(), head.size());
                        return true;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                    if (offset > 60) {
                        sink.done();
                        return true;
                    }
                    sink.write("..........", 10);
                    return true;
                });
        });
        service.Page("/ver/ver.html", R"({"Version":"1.0.0.2","Info":""})");
        QTemporaryDir dir;
        auto form = OpenWithoutService(dir, LateHost, {300});
        QVERIFY(WaitFor([&] { return form->Service().Unreachable(); }));
        TBrowserTab* start = form->Tabs().Find(1);
        QVERIFY(WaitFor([&] { return !form->Service().Unreachable() && start->Loaded; }));
        QCOMPARE(start->Browser->Page()->title(), QStringLiteral("Slow"));
        QCOMPARE(attempts->load(), 2);
        QVERIFY(!ProblemOf(start));
    }

private:
    TestServer server_{6868, Host};
    MainWindowFixture fixture_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<PageRecoveryTest>(argc, argv);
}

#include "PageRecoveryTest.moc"
