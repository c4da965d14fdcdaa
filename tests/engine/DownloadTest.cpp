// Downloads: an attachment link on a real page, continued to a path, to a file name,
// through the save dialog (which never holds the engine), later, or not at all; always
// through a part file that is gone at the end.

#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QUrlQuery>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <atomic>
#include <httplib.h>
#include <thread>

#include "EngineTest.h"
#include "engine/Chromium.h"
#include "engine/DownloadList.h"
#include "support/TestServer.h"

using namespace testing_support;
using State = engine::TDownload::TState;

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
enum class Answer { Path, FileName, Later, Nothing, Dialog, DialogCancelled, TakenPlace, NoFolder };

bool Ended(const engine::TDownload* download)
{
    return download->State() == State::Done || download->State() == State::Failed;
}

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
        // 1 MB of a byte given by the query.
        server_.Handle("/blob", [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"blob.bin\"");
            res.set_content(std::string(1 << 20, char(std::stoi(req.get_param_value("n")))),
                            "application/octet-stream");
        });
        // Dribbles until the test is over.
        server_.Handle("/endless", [this](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"endless.bin\"");
            res.set_content_provider(size_t(1) << 30, "application/octet-stream",
                                     [this](size_t, size_t, httplib::DataSink& sink) {
                                         std::this_thread::sleep_for(std::chrono::milliseconds(50));
                                         return !ending_ && sink.write("0123456789", 10);
                                     });
        });
        // Breaks off halfway the first time only: the engine's own next try gets it all.
        server_.Handle("/flaky", [this](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"flaky.bin\"");
            const bool breakOff = flakyRequests_++ == 0;
            res.set_content_provider(
                size_t(1) << 20, "application/octet-stream",
                [breakOff](size_t offset, size_t length, httplib::DataSink& sink) {
                    if (breakOff && offset >= (size_t(1) << 19))
                        return false;
                    const std::string piece(std::min<size_t>(length, 4096), 'f');
                    return sink.write(piece.data(), piece.size());
                });
        });
        connect(engine::Profile(), &QWebEngineProfile::downloadRequested, this,
                [this](QWebEngineDownloadRequest* download) { request_ = download; });
        // The save dialog was last used in /proc, whose files block a reader: it must not
        // read them.
        QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
        settings.beginGroup(QStringLiteral("FileDialog"));
        settings.setValue(QStringLiteral("lastVisited"), QUrl::fromLocalFile("/proc"));
        settings.setValue(QStringLiteral("history"), QStringList{QStringLiteral("file:///proc")});
    }

    void cleanupTestCase() { ending_ = true; }

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
        // Nobody agreed to replace the file there: it stays, the download goes beside it.
        QTest::newRow("place taken") << Answer::TakenPlace << "chosen/taken (1).txt";
        QTest::newRow("folder gone") << Answer::NoFolder << "gone/report.txt";
    }

    void handlerDecidesWhereTheFileGoes()
    {
        QFETCH(Answer, answer);
        QFETCH(QString, expectedFile);
        QDir(dir_.path()).mkpath("chosen");
        QDir(dir_.filePath("gone")).removeRecursively();
        QFile taken(dir_.filePath("chosen/taken.txt"));
        QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write("older file") == 10);
        taken.close();
        engine::TDownloadList list(dir_.filePath("parts"));
        engine::DownloadDispatcher()->SetList(&list);
        QSignalSpy added(&list, &engine::TDownloadList::Added);
        QSignalSpy removed(&list, &engine::TDownloadList::Removed);

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
            case Answer::NoFolder:
                callback->Continue(dir_.filePath(expectedFile), false);
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
            case Answer::TakenPlace:
                callback->Continue(dir_.filePath("chosen/taken.txt"), false);
                break;
            case Answer::Dialog:
            case Answer::DialogCancelled:
                callback->Continue("proposed.txt", true);
                break;
            }
        };
        const bool dialog = answer == Answer::Dialog || answer == Answer::DialogCancelled;
        bool transferredWhileAsking = false;
        if (dialog) {
            engine_test::OnNextModal([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                if (!dialog) {
                    modal->close();
                    return true;
                }
                if (proposedInDialog.isEmpty())
                    proposedInDialog = dialog->selectedFiles().value(0);
                // The engine is not held while the dialog asks: the file is already in
                // its part before the answer.
                if (!request_ || request_->state() != QWebEngineDownloadRequest::DownloadCompleted)
                    return false;
                transferredWhileAsking = true;
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
        request_.clear();
        view.resize(400, 300);
        view.show();
        view.Load(server_.Url("/links").toString());
        QVERIFY(WaitFor([&] { return view.Browser()->Page()->title() == "Downloads"; }));
        engine_test::RunScript(view.Browser(), "document.getElementById('link').click()");

        if (expectedFile.isEmpty()) {
            QVERIFY(WaitFor([&] { return removed.count() == 1; }));
            QCOMPARE(added.count(), 0);
            QVERIFY(list.Items().isEmpty());
        } else {
            QVERIFY(WaitFor([&] { return list.Items().size() == 1 && Ended(list.Items()[0]); }));
            QCOMPARE(list.Items()[0]->TargetPath(), dir_.filePath(expectedFile));
        }
        QCOMPARE(calls, 1);
        QCOMPARE(browser, view.Browser());
        QCOMPARE(suggested, QString("report.txt"));
        QCOMPARE(item.Url, server_.Url("/report"));
        if (dialog) {
            QCOMPARE(QFileInfo(proposedInDialog).fileName(), QString("proposed.txt"));
            QVERIFY(transferredWhileAsking);
        }
        QCOMPARE(ReadAll(dir_.filePath("chosen/taken.txt")), QByteArray("older file"));

        if (answer == Answer::NoFolder) {
            engine::TDownload* download = list.Items()[0];
            QCOMPARE(download->State(), State::Failed);
            QCOMPARE(download->Failure(), engine::TDownload::TFailure::FolderMissing);
            // The whole file waits in its part until the folder is back.
            QCOMPARE(ReadAll(download->PartPath()), QByteArray::fromStdString(Report));
            QDir(dir_.path()).mkpath("gone");
            download->Retry();
            QVERIFY(WaitFor([&] { return download->State() == State::Done; }));
        }
        if (!expectedFile.isEmpty()) {
            QCOMPARE(list.Items()[0]->State(), State::Done);
            QCOMPARE(ReadAll(dir_.filePath(expectedFile)), QByteArray::fromStdString(Report));
            QFile::remove(dir_.filePath(expectedFile));
        }
        QCOMPARE(QDir(dir_.filePath("chosen")).entryList(QDir::Files), QStringList{"taken.txt"});
        QCOMPARE(QDir(list.PartDirectory()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // An export that opens a new window on the file: the download is the popup's.
    void downloadInANewWindowIsReportedWithThePopup()
    {
        engine::TDownloadList list(dir_.filePath("parts"));
        engine::DownloadDispatcher()->SetList(&list);
        QWidget parent;
        engine::TChromium view;
        engine_test::OpenPopupsIn(view, &parent);
        engine::BrowserRef browser;
        view.OnBeforeDownload = [&](auto*, const engine::BrowserRef& b, auto&, auto&,
                                    const engine::DownloadCallbackRef& callback) {
            browser = b;
            callback->Continue(dir_.filePath("from-popup.txt"), false);
        };
        view.Load(server_.Url("/links").toString());
        QVERIFY(WaitFor([&] { return view.Browser()->Page()->title() == "Downloads"; }));
        engine_test::RunScript(view.Browser(), "window.open('/report')");
        QVERIFY(WaitFor([&] { return list.Items().size() == 1 && Ended(list.Items()[0]); }));
        QVERIFY(browser);
        QVERIFY(browser->IsPopup());
        QCOMPARE(ReadAll(dir_.filePath("from-popup.txt")), QByteArray::fromStdString(Report));
    }

    // A hundred at once: every one lands whole, and the page keeps answering meanwhile.
    void hundredParallelDownloads()
    {
        constexpr int Count = 100;
        engine::TDownloadList list(dir_.filePath("parts"));
        engine::DownloadDispatcher()->SetList(&list);
        engine::TChromium view;
        QDir(dir_.path()).mkpath("many");
        view.OnBeforeDownload = [&](auto*, auto&, const engine::DownloadItem& item, auto&,
                                    const engine::DownloadCallbackRef& callback) {
            const QString n = QUrlQuery(item.Url).queryItemValue("n");
            callback->Continue(dir_.filePath("many/" + n + ".bin"), false);
        };
        view.resize(400, 300);
        view.show();
        view.Load(server_.Url("/links").toString());
        QVERIFY(WaitFor([&] { return view.Browser()->Page()->title() == "Downloads"; }));
        for (int n = 0; n < Count; ++n)
            view.Browser()->Page()->download(server_.Url(QStringLiteral("/blob?n=%1").arg(n)));
        QCOMPARE(engine_test::RunScript(view.Browser(), "6 * 7").value_or(QVariant()).toInt(), 42);
        QVERIFY(WaitFor(
            [&] {
                const auto items = list.Items();
                return items.size() == Count &&
                       std::all_of(items.begin(), items.end(), [](auto* d) { return Ended(d); });
            },
            120000));
        for (int n = 0; n < Count; ++n)
            QCOMPARE(ReadAll(dir_.filePath(QStringLiteral("many/%1.bin").arg(n))),
                     QByteArray(1 << 20, char(n)));
        QCOMPARE(QDir(list.PartDirectory()).entryList(QDir::Files), QStringList());
    }

    // The engine tries again by itself after a break: still the same download, asked once.
    void engineRetryAfterABreakIsTheSameDownload()
    {
        engine::TDownloadList list(dir_.filePath("parts"));
        engine::DownloadDispatcher()->SetList(&list);
        engine::TChromium view;
        int asked = 0;
        view.OnBeforeDownload = [&](auto*, auto&, auto&, auto&,
                                    const engine::DownloadCallbackRef& callback) {
            ++asked;
            callback->Continue(dir_.filePath("flaky.bin"), false);
        };
        view.Load(server_.Url("/links").toString());
        QVERIFY(WaitFor([&] { return view.Browser()->Page()->title() == "Downloads"; }));
        view.Browser()->Page()->download(server_.Url("/flaky"));
        QVERIFY(WaitFor([&] { return list.Items().size() == 1 && Ended(list.Items()[0]); }));
        QCOMPARE(list.Items()[0]->State(), State::Done);
        QCOMPARE(asked, 1);
        QVERIFY(flakyRequests_ >= 2);
        QCOMPARE(ReadAll(dir_.filePath("flaky.bin")), QByteArray(1 << 20, 'f'));
        QCOMPARE(QDir(list.PartDirectory()).entryList(QDir::Files), QStringList());
    }

    // Part files never outlive their client: an earlier run's go when the list is made,
    // and what is unfinished goes with the list.
    void partFilesGoWithTheirClient()
    {
        const QString parts = dir_.filePath("parts");
        QDir().mkpath(parts);
        const QString stale = QDir(parts).filePath("crashed.part");
        QVERIFY(QFile(stale).open(QIODevice::WriteOnly));
        QString unfinished;
        {
            engine::TDownloadList list(parts);
            engine::DownloadDispatcher()->SetList(&list);
            QVERIFY(!QFile::exists(stale));
            engine::TChromium view;
            view.OnBeforeDownload = [&](auto*, auto&, auto&, auto&,
                                        const engine::DownloadCallbackRef& callback) {
                callback->Continue(dir_.filePath("endless.bin"), false);
            };
            view.Load(server_.Url("/links").toString());
            QVERIFY(WaitFor([&] { return view.Browser()->Page()->title() == "Downloads"; }));
            view.Browser()->Page()->download(server_.Url("/endless"));
            QVERIFY(WaitFor([&] { return list.Items().size() == 1; }));
            engine::TDownload* download = list.Items()[0];
            QVERIFY(WaitFor([&] { return download->ReceivedBytes() > 0; }));
            unfinished = download->PartPath() + ".download";
            QVERIFY(QFile::exists(unfinished));
            QCOMPARE(download->State(), State::Running);
        }
        QCOMPARE(QDir(parts).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(!QFile::exists(dir_.filePath("endless.bin")));
    }

private:
    QTemporaryDir dir_;
    TestServer server_;
    QPointer<QWebEngineDownloadRequest> request_;
    std::atomic<bool> ending_{false};
    std::atomic<int> flakyRequests_{0};
};

int main(int argc, char** argv)
{
    return engine_test::RunEngineTest<DownloadTest>(argc, argv);
}

#include "DownloadTest.moc"
