// OnBeforeDownload: an attachment link on a real page, continued to a path, to a file
// name, through the save dialog, later, or not at all.

#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <httplib.h>

#include "EngineTest.h"
#include "engine/Chromium.h"
#include "support/TestServer.h"

using namespace testing_support;

namespace {

const QByteArray LinkPage = R"(<html><head><title>Downloads</title></head><body>
<a id="link" href="/report">report</a></body></html>)";

const std::string Report = "Quillmark report 报表\n";

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the handler does with the download.
enum class Answer { Path, FileName, Later, Nothing, Dialog, DialogCancelled, Unwritable };

} // namespace

Q_DECLARE_METATYPE(Answer)

class DownloadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        // A file name alone goes to the download directory: keep it in the test's.
        engine::Profile()->setDownloadPath(dir_.filePath("downloads"));
        server_.Page("/links", LinkPage);
        server_.Handle("/report", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"report.txt\"");
            res.set_content(Report, "text/plain");
        });
        connect(engine::Profile(), &QWebEngineProfile::downloadRequested, this,
                [this](QWebEngineDownloadRequest* download) { download_ = download; });
        // The save dialog was last used in /proc, whose files block a reader: it must not
        // read them.
        QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
        settings.beginGroup(QStringLiteral("FileDialog"));
        settings.setValue(QStringLiteral("lastVisited"), QUrl::fromLocalFile("/proc"));
        settings.setValue(QStringLiteral("history"), QStringList{QStringLiteral("file:///proc")});
    }

    void handlerDecidesWhereTheFileGoes_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("expectedFile"); // relative to the test's directory
        QTest::newRow("absolute path") << Answer::Path << "chosen/saved.txt";
        QTest::newRow("file name only") << Answer::FileName << "downloads/named.txt";
        QTest::newRow("answered later") << Answer::Later << "chosen/later.txt";
        QTest::newRow("no answer") << Answer::Nothing << "";
        QTest::newRow("save dialog") << Answer::Dialog << "chosen/picked.txt";
        QTest::newRow("save dialog cancelled") << Answer::DialogCancelled << "";
        QTest::newRow("unwritable place") << Answer::Unwritable << "";
    }

    void handlerDecidesWhereTheFileGoes()
    {
        QFETCH(Answer, answer);
        QFETCH(QString, expectedFile);
        QDir(dir_.path()).mkpath("chosen");
        engine::TChromium view;
        int calls = 0;
        QString suggested, proposedInDialog;
        engine::DownloadItem item;
        engine::BrowserRef browser;
        view.OnBeforeDownload = [&](engine::TChromium* sender, const engine::BrowserRef& b,
                                    const engine::DownloadItem& downloadItem,
                                    const QString& suggestedName,
                                    const engine::DownloadCallbackRef& callback) {
            QCOMPARE(sender, &view);
            ++calls;
            browser = b;
            item = downloadItem;
            suggested = suggestedName;
            switch (answer) {
            case Answer::Path:
                callback->Continue(dir_.filePath("chosen/saved.txt"), false);
                break;
            case Answer::FileName:
                callback->Continue("named.txt", false);
                break;
            case Answer::Later:
                QTimer::singleShot(200, [this, callback] {
                    callback->Continue(dir_.filePath("chosen/later.txt"), false);
                });
                break;
            case Answer::Nothing:
                break;
            case Answer::Unwritable:
                callback->Continue("/proc/quillmark/report.txt", false);
                break;
            case Answer::Dialog:
            case Answer::DialogCancelled:
                callback->Continue("proposed.txt", true);
                break;
            }
        };
        const bool dialog = answer == Answer::Dialog || answer == Answer::DialogCancelled;
        if (dialog) {
            engine_test::OnNextModal([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                if (!dialog) {
                    modal->close();
                    return true;
                }
                if (proposedInDialog.isEmpty())
                    proposedInDialog = dialog->selectedFiles().value(0);
                if (answer == Answer::DialogCancelled) {
                    dialog->reject();
                    return true;
                }
                // Typed as a user would (selectFile() leaves a focused name field alone);
                // the dialog may still be settling, so until the choice holds.
                const QString picked = dir_.filePath("chosen/picked.txt");
                dialog->setDirectory(dir_.filePath("chosen"));
                if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
                    name->setText("picked.txt");
                if (dialog->selectedFiles() != QStringList{picked})
                    return false;
                QMetaObject::invokeMethod(dialog, "accept"); // protected in QFileDialog
                return true;
            });
        }
        download_.clear();
        view.resize(400, 300);
        view.show();
        view.Load(server_.Url("/links").toString());
        QVERIFY(WaitFor([&] { return view.Browser()->Page()->title() == "Downloads"; }));
        engine_test::RunScript(view.Browser(), "document.getElementById('link').click()");

        QVERIFY(WaitFor([&] { return download_ && download_->isFinished(); }));
        QCOMPARE(calls, 1);
        QCOMPARE(browser, view.Browser());
        QCOMPARE(suggested, QString("report.txt"));
        QCOMPARE(item.Url, server_.Url("/report"));
        if (dialog)
            QCOMPARE(QFileInfo(proposedInDialog).fileName(), QString("proposed.txt"));
        if (expectedFile.isEmpty()) {
            QCOMPARE(download_->state(), QWebEngineDownloadRequest::DownloadCancelled);
            QCOMPARE(QDir(dir_.filePath("chosen")).entryList(QDir::Files), QStringList());
            return;
        }
        QCOMPARE(download_->state(), QWebEngineDownloadRequest::DownloadCompleted);
        QCOMPARE(ReadAll(dir_.filePath(expectedFile)), QByteArray::fromStdString(Report));
        QFile::remove(dir_.filePath(expectedFile));
    }

    // An export that opens a new window on the file: the download is the popup's.
    void downloadInANewWindowIsReportedWithThePopup()
    {
        QWidget parent;
        engine::TChromium view;
        engine_test::OpenPopupsIn(view, &parent);
        engine::BrowserRef browser;
        view.OnBeforeDownload = [&](auto*, const engine::BrowserRef& b, auto&, auto&,
                                    const engine::DownloadCallbackRef& callback) {
            browser = b;
            callback->Continue(dir_.filePath("from-popup.txt"), false);
        };
        download_.clear();
        view.Load(server_.Url("/links").toString());
        QVERIFY(WaitFor([&] { return view.Browser()->Page()->title() == "Downloads"; }));
        engine_test::RunScript(view.Browser(), "window.open('/report')");
        QVERIFY(WaitFor([&] { return download_ && download_->isFinished(); }));
        QVERIFY(browser);
        QVERIFY(browser->IsPopup());
        QCOMPARE(ReadAll(dir_.filePath("from-popup.txt")), QByteArray::fromStdString(Report));
    }

private:
    QTemporaryDir dir_;
    TestServer server_;
    QPointer<QWebEngineDownloadRequest> download_;
};

int main(int argc, char** argv)
{
    return engine_test::RunEngineTest<DownloadTest>(argc, argv);
}

#include "DownloadTest.moc"
