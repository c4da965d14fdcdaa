// OnTitleChange and OnLoadingStateChange from a real page.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "engine/Chromium.h"
#include "engine/EngineProfile.h"
#include "support/TestHelpers.h"
#include "support/TestServer.h"

using namespace testing_support;

class TitleEventTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        engine::CreateProfile(cache_.path());
        server_.Page("/titled",
                     "<html><head><title>  Padded Title </title></head><body>x</body></html>");
    }

    void reportsTitleAndLoadingWithTheViewsOwnBrowser()
    {
        engine::TChromium view;
        QStringList titles;
        QList<bool> loading;
        engine::BrowserRef reported;
        view.OnTitleChange = [&](engine::TChromium* sender, const engine::BrowserRef& b,
                                 const QString& title) {
            QCOMPARE(sender, &view);
            reported = b;
            titles << title;
        };
        view.OnLoadingStateChange = [&](engine::TChromium*, const engine::BrowserRef&,
                                        bool isLoading, bool, bool) { loading << isLoading; };
        view.resize(400, 300);
        view.show();
        view.Load(server_.Url("/titled").toString());
        // The engine reports the title as the document has it, blanks collapsed.
        QVERIFY(WaitFor([&] { return titles.contains("Padded Title"); }));
        QVERIFY(WaitFor([&] { return loading.size() >= 2; }));
        QCOMPARE(loading.first(), true);
        QCOMPARE(loading.last(), false);
        QVERIFY(reported);
        QCOMPARE(reported, view.Browser());
        QVERIFY(!reported->IsPopup());
        QCOMPARE(reported->GetHost().GetWindowHandle()->parentWidget(), &view);
    }

private:
    QTemporaryDir cache_;
    TestServer server_;
};

int main(int argc, char** argv)
{
    PrepareHeadlessEngine();
    engine::PrepareEngineProcess({});
    QApplication app(argc, argv);
    TitleEventTest test;
    const int rc = QTest::qExec(&test, argc, argv);
    return rc;
}

#include "TitleEventTest.moc"
