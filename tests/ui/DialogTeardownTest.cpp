// A tab or the window goes away while a page of that tab waits for the user: the
// engine's own dialog, or the save dialog of a download. The page's dialog closes with
// either; a download is not its tab's, so its save dialog closes only with the window and
// otherwise waits for its answer. Nothing is saved, nothing crashes, and the client
// carries on.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>
#include <httplib.h>

#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "engine/EngineProfile.h"
#include "ui/PostedMessages.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.5.1");

enum class Waiting { Dialog, SaveDialog };
enum class Teardown { CloseTab, CloseWindow };

} // namespace

Q_DECLARE_METATYPE(Waiting)
Q_DECLARE_METATYPE(Teardown)

class DialogTeardownTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        engine::Profile()->setDownloadPath(downloads_.path());
        ServeStartAndPopups(server_);
        server_.Page("/alert", "<html><head><title>Alert</title></head><body><script>"
                               "setTimeout(() => { alert('waiting'); document.title = 'after'; },"
                               " 0)</script></body></html>");
        server_.Handle("/download", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"report.txt\"");
            res.set_content("quillmark", "text/plain");
        });
    }

    void init()
    {
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
    }

    void cleanup() { form_.reset(); }

    void boxClosesWithItsTabOrWindow_data()
    {
        QTest::addColumn<Waiting>("waiting");
        QTest::addColumn<Teardown>("teardown");
        QTest::newRow("dialog, tab closed") << Waiting::Dialog << Teardown::CloseTab;
        QTest::newRow("save dialog, tab closed") << Waiting::SaveDialog << Teardown::CloseTab;
        QTest::newRow("dialog, window closed") << Waiting::Dialog << Teardown::CloseWindow;
        QTest::newRow("save dialog, window closed") << Waiting::SaveDialog << Teardown::CloseWindow;
    }

    void boxClosesWithItsTabOrWindow()
    {
        QFETCH(Waiting, waiting);
        QFETCH(Teardown, teardown);
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        TBrowserTab* popup = TabOfPage(form, 2);
        QPointer<TSkinTabSheet> page = popup->Page;
        QPointer<QWidget> popupView = popup->BrowserWindow;

        // The box runs a loop of its own: the teardown happens from inside it, as a
        // click elsewhere or a message would.
        bool seen = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            const bool expected = waiting == Waiting::Dialog
                                      ? bool(qobject_cast<QMessageBox*>(modal))
                                      : bool(qobject_cast<QFileDialog*>(modal));
            if (!expected)
                return;
            seen = true;
            watch.stop();
            if (teardown == Teardown::CloseTab) {
                form.PostMessage(new TPageIndexMessage(2));
            } else {
                form.ExitRequested = true;
                form.ConfirmExit = false;
                form.PostCloseRequest();
            }
        });
        watch.start(20);
        RunScript(popup,
                  waiting == Waiting::Dialog ? "location = '/alert'" : "location = '/download'");

        if (waiting == Waiting::SaveDialog && teardown == Teardown::CloseTab) {
            QVERIFY(WaitFor([&] { return seen && page.isNull(); }));
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY2(dialog, "the save dialog went with the tab");
            dialog->reject();
        }
        // Waiting here returns only once the box's loop has ended.
        QVERIFY(WaitFor([&] { return seen && !QApplication::activeModalWidget(); }));
        QVERIFY(QDir(downloads_.path()).isEmpty());
        if (teardown == Teardown::CloseTab) {
            QVERIFY(WaitFor([&] { return page.isNull() && popupView.isNull(); }));
            QCOMPARE(VisibleTabs(form), 1);
            // The window is whole: the next popup is a tab of its own.
            QVERIFY(OpenPopups(form, 1));
            QCOMPARE(form.PageControl1->Page(2)->Caption(), QStringLiteral("Popup 0"));
        } else {
            QVERIFY(!form.isVisible());
            form_.reset();
            QVERIFY(popupView.isNull());
        }
        // The page that waited never went on in a tab of ours.
        for (int i = 0; form_ && i < form_->PageControl1->PageCount(); ++i)
            QVERIFY(form_->PageControl1->Page(i)->Caption() != QStringLiteral("after"));
    }

private:
    TestServer server_{6868, Host};
    QTemporaryDir downloads_;
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<DialogTeardownTest>(argc, argv);
}

#include "DialogTeardownTest.moc"
