// OnClose: a page that calls window.close(), in a top-level popup, in a popup inside a
// given parent, and in the view itself.

#include <QPointer>
#include <QWebEngineView>

#include "EngineTest.h"
#include "engine/Chromium.h"
#include "support/TestServer.h"

using namespace testing_support;

namespace {

const QByteArray OpenerPage = "<html><head><title>Opener</title></head><body>o</body></html>";

// Closes itself once it has shown its title.
const QByteArray ClosingPage = R"(<html><head><title>Closing</title></head><body><script>
setTimeout(() => window.close(), 50);
</script></body></html>)";

} // namespace

class CloseEventTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        server_.Page("/opener", OpenerPage);
        server_.Page("/closing", ClosingPage);
    }

    void popupWindowCloses_data()
    {
        QTest::addColumn<bool>("embedded");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("expectDestroyed");
        QTest::newRow("top-level, left to the engine") << false << false << true;
        QTest::newRow("top-level, handled") << false << true << false;
        QTest::newRow("embedded, left to the engine") << true << false << false;
        QTest::newRow("embedded, handled") << true << true << false;
    }

    void popupWindowCloses()
    {
        QFETCH(bool, embedded);
        QFETCH(bool, result);
        QWidget parent;
        engine::TChromium view;
        engine_test::OpenPopupsIn(view, embedded ? &parent : nullptr);
        QMap<QString, engine::BrowserRef> titles;
        view.OnTitleChange = [&](auto*, const engine::BrowserRef& browser, const QString& title) {
            titles.insert(title, browser);
        };
        QList<engine::BrowserRef> closed;
        view.OnClose = [&](engine::TChromium* sender, const engine::BrowserRef& browser,
                           bool& Result) {
            QCOMPARE(sender, &view);
            closed << browser;
            Result = result;
        };
        view.resize(400, 300);
        view.show();
        view.Load(server_.Url("/opener").toString());
        QVERIFY(WaitFor([&] { return titles.contains("Opener"); }));
        engine_test::RunScript(view.Browser(), "window.open('/closing', 'closing')");
        QVERIFY(WaitFor([&] { return titles.contains("Closing"); }));
        const engine::BrowserRef popup = titles.value("Closing");
        const QPointer<QWidget> window = popup->GetHost().GetWindowHandle();
        QVERIFY(window);

        QVERIFY(WaitFor([&] { return !closed.isEmpty(); }));
        QCOMPARE(int(closed.size()), 1);
        QCOMPARE(closed.first(), popup);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QFETCH(bool, expectDestroyed);
        QCOMPARE(window.isNull(), expectDestroyed);
        if (window) {
            QCOMPARE(window->parentWidget(), embedded ? &parent : nullptr);
            delete window.data();
        }
        // The view's own browser is not touched by its popup's closing.
        QVERIFY(view.BrowserWindow());
        QCOMPARE(view.Browser()->GetMainFrame()->GetURL(), server_.Url("/opener").toString());
    }

    // The view's own page may close itself too: reported, and the view is left to its owner.
    void viewsOwnPageReportsCloseAndStays()
    {
        engine::TChromium view;
        QList<engine::BrowserRef> closed;
        view.OnClose = [&](auto*, const engine::BrowserRef& browser, bool&) { closed << browser; };
        view.resize(400, 300);
        view.show();
        view.Load(server_.Url("/closing").toString());
        QVERIFY(WaitFor([&] { return !closed.isEmpty(); }));
        QCOMPARE(closed.first(), view.Browser());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(view.BrowserWindow());
        QVERIFY(view.isVisible());
    }

private:
    TestServer server_;
};

int main(int argc, char** argv)
{
    return engine_test::RunEngineTest<CloseEventTest>(argc, argv);
}

#include "CloseEventTest.moc"
