// Downloads in the main window, on real pages: from the link through the save dialog to
// the chosen place, shown in the panel with its figures, the strip's indicator from the
// first byte on and the tray's balloon when it ends out of sight; a cancelled dialog
// leaves nothing, a cancelled download stays to be tried again; a broken transfer says
// why and "重试" mends it; an earlier run's part files go.

#include <QDesktopServices>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineProfile>
#include <atomic>
#include <thread>

#include "FileDialogAnswerer.h"
#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "engine/DownloadList.h"
#include "engine/EngineProfile.h"
#include "shared/Global.h"
#include "ui/DownloadIndicator.h"
#include "ui/DownloadRow.h"
#include "ui/FormDownloads.h"

using namespace testing_support;
using State = engine::TDownload::TState;

namespace {

const QString Host = QStringLiteral("127.63.11.4");
constexpr std::size_t BigSize = 6 << 20;

const QByteArray StartPage = R"(<html><head><title>Start</title></head><body>
<a id="big" href="/big">big</a> <a id="broken" href="/broken">broken</a></body></html>)";

// Bytes that tell their place in the file.
char ByteAt(std::size_t offset)
{
    return char('A' + offset % 23);
}

bool IsWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != qint64(BigSize))
        return false;
    const QByteArray bytes = file.readAll();
    for (std::size_t i = 0; i < BigSize; i += 4099)
        if (bytes[qsizetype(i)] != ByteAt(i))
            return false;
    return true;
}

QStringList PartFiles(const TFormMain& form)
{
    return QDir(form.DownloadsPanel().List()->PartDirectory())
        .entryList(QDir::Files | QDir::Hidden);
}

} // namespace

// Takes the URLs the panel hands to the desktop.
class DesktopStandIn : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened.append(url); }
};

class DownloadsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        QVERIFY(place_.isValid());
        // The dialog proposes the download folder, which the client makes when missing.
        engine::Profile()->setDownloadPath(place_.path());
        ServeService(server_, StartPage);
        // 6 MB in 3 s: long enough to watch it run.
        server_.Handle("/big", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"big.bin\"");
            Provide(res, BigSize, 100, false);
        });
        // Breaks off halfway until the test mends it (the engine tries again by itself
        // a few times first).
        server_.Handle("/broken", [this](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"broken.bin\"");
            Provide(res, BigSize, 0, breaking_);
        });
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop_, "Open");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void downloadGoesThroughItsPartToTheChosenPlace()
    {
        const QString appDir = QFileInfo(fixture_.ConfigPath()).absolutePath();
        const QString stale = appDir + "/cache/downloads/crashed.part";
        QDir().mkpath(QFileInfo(stale).absolutePath());
        QFile(stale).open(QIODevice::WriteOnly);
        auto form = fixture_.Open(server_);
        QVERIFY(form);
        QVERIFY(!QFile::exists(stale));
        QCOMPARE(form->DownloadsPanel().List()->PartDirectory(), appDir + "/cache/downloads");
        // Moved aside at once, removed on a worker.
        const QString cache = appDir + "/cache";
        QVERIFY(
            WaitFor([&] { return QDir(cache).entryList({"downloads.*"}, QDir::Dirs).isEmpty(); }));

        const QString target = place_.filePath("big.bin");
        FileDialogAnswerer dialog(target);
        RunScript(form->Tabs().Find(1), "document.getElementById('big').click()");
        QVERIFY(WaitFor([&] { return form->DownloadsPanel().List()->Items().size() == 1; }));
        QCOMPARE(dialog.Offered(), QStringLiteral("big.bin"));
        engine::TDownload* download = form->DownloadsPanel().List()->Items()[0];
        QCOMPARE(download->State(), State::Running);
        QVERIFY(form->DownloadsPanel().Indicator()->isVisible());
        QCOMPARE(form->DownloadsPanel().Indicator()->text(), QStringLiteral("下载中 (1)"));
        QCOMPARE(PartFiles(*form).size(), 1);
        // A strip full of tabs leaves the indicator its room, close buttons included.
        for (int i = 0; i < 40; ++i)
            form->Tabs().AdoptPopup({{}, form->Tabs().TakeSpare(), false});
        // A count that widens the indicator narrows the tabs.
        form->DownloadsPanel().Indicator()->SetRunning(123456789);
        int tabsEnd = 0;
        for (int i = 0; i < form->PageControl1->PageCount(); ++i)
            tabsEnd = std::max(tabsEnd, form->PageControl1->TabRect(i).right());
        QVERIFY2(tabsEnd < form->DownloadsPanel().Indicator()->x(),
                 qPrintable(QStringLiteral("tabs end at %1, the indicator starts at %2")
                                .arg(tabsEnd)
                                .arg(form->DownloadsPanel().Indicator()->x())));
        const int narrowed = form->PageControl1->TabRow().Right;
        form->DownloadsPanel().Indicator()->SetRunning(1);
        QVERIFY(form->PageControl1->TabRow().Right > narrowed);

        // The window goes to the tray while the file comes: the balloon tells of it.
        form->NDownloads->trigger();
        TFormDownloads* panel = form->DownloadsPanel().Panel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->windowTitle(), QStringLiteral("下载"));
        QCOMPARE(panel->Rows().size(), 1);
        TDownloadRow* row = panel->Rows()[0];
        QVERIFY(WaitFor(
            [&] { return download->ReceivedBytes() > 0 && download->BytesPerSecond() > 0; }));
        QVERIFY2(row->StatusText().contains(
                     QRegularExpression(QStringLiteral(" / 6.00 MB，.*/s，剩余 \\d+ 秒$"))),
                 qPrintable(row->StatusText()));
        QVERIFY(row->findChild<QPushButton*>("cancelButton")->isVisible());
        QVERIFY(!row->findChild<QPushButton*>("openButton")->isVisible());
        form->close();
        QVERIFY(!form->isVisible());

        QVERIFY(WaitFor([&] { return download->State() == State::Done; }));
        QVERIFY(IsWhole(target));
        QCOMPARE(download->TargetPath(), target);
        QCOMPARE(PartFiles(*form), QStringList());
        QCOMPARE(form->DownloadsPanel().Indicator()->text(), QStringLiteral("下载完成"));
        const TTrayNotifier& tray = form->TrayNotifier();
        QVERIFY(tray.Shown() && tray.Shown()->Title == QStringLiteral("下载完成"));
        QCOMPARE(tray.Shown()->Body, QStringLiteral("big.bin"));
        emit form->TrayIcon1->messageClicked();
        QVERIFY(panel->isVisible());

        QVERIFY(row->StatusText().startsWith(QStringLiteral("已完成，6.00 MB")));
        row->findChild<QPushButton*>("openButton")->click();
        row->findChild<QPushButton*>("folderButton")->click();
        QCOMPARE(desktop_.Opened,
                 (QList<QUrl>{QUrl::fromLocalFile(target), QUrl::fromLocalFile(place_.path())}));

        QVERIFY(!tray.Shown());

        // Without PopupHint a download ends out of sight silently.
        SystemSettings.PopupHint = false;
        form->NShowMainClick();
        FileDialogAnswerer second(place_.filePath("quiet.bin"));
        RunScript(form->Tabs().Find(1), "document.getElementById('big').click()");
        QVERIFY(WaitFor([&] { return form->DownloadsPanel().List()->Items().size() == 2; }));
        form->close();
        QVERIFY(WaitFor(
            [&] { return form->DownloadsPanel().List()->Items()[1]->State() == State::Done; }));
        SystemSettings.PopupHint = true;
        QVERIFY(!tray.Shown());
        QCOMPARE(panel->Rows().size(), 2);
        QCOMPARE(panel->Rows()[0]->Download(), form->DownloadsPanel().List()->Items()[1]);
    }

    void indicatorCountsFromTheFirstByteAndOnlyAPlacedCancelStays()
    {
        auto form = fixture_.Open(server_);
        QVERIFY(form);
        const TDownloadIndicator* indicator = form->DownloadsPanel().Indicator();
        QSignalSpy removed(form->DownloadsPanel().List(), &engine::TDownloadList::Removed);
        RunScript(form->Tabs().Find(1), "document.getElementById('big').click()");
        // The transfer runs while the save dialog waits for an answer.
        QVERIFY(WaitFor([&] { return indicator->isVisible(); }));
        QCOMPARE(indicator->text(), QStringLiteral("下载中 (1)"));
        FileDialogAnswerer dialog(QString{});
        QVERIFY(WaitFor([&] { return removed.count() == 1; }));
        QCOMPARE(dialog.Shown(), 1);
        QVERIFY(form->DownloadsPanel().List()->Items().isEmpty());
        QCOMPARE(PartFiles(*form), QStringList());
        QVERIFY(!indicator->isVisible());

        // Cancelled once it has its place, it stays to be tried again.
        FileDialogAnswerer placed(place_.filePath("again.bin"));
        RunScript(form->Tabs().Find(1), "document.getElementById('big').click()");
        QVERIFY(WaitFor([&] { return form->DownloadsPanel().List()->Items().size() == 1; }));
        form->NDownloadsClick();
        TDownloadRow* row = form->DownloadsPanel().Panel()->Rows().value(0);
        QVERIFY(row && QTest::qWaitForWindowActive(row->window()));
        row->findChild<QPushButton*>("cancelButton")->click();
        QCOMPARE(row->StatusText(), QStringLiteral("已取消"));
        // Esc hides the panel; shown again, it still has the row.
        QTest::keyClick(row->window(), Qt::Key_Escape);
        QVERIFY(!row->window()->isVisible());
        form->NDownloadsClick();
        QCOMPARE(form->DownloadsPanel().Panel()->Rows(), QList<TDownloadRow*>{row});
        row->findChild<QPushButton*>("retryButton")->click();
        QVERIFY(WaitFor([&] { return row->Download()->State() == State::Done; }));
        QVERIFY(IsWhole(place_.filePath("again.bin")));
        // Done with the window in front: the indicator says so for a while.
        QCOMPARE(indicator->text(), QStringLiteral("下载完成"));
        QVERIFY(indicator->isVisible() && WaitFor([&] { return !indicator->isVisible(); }));
    }

    void brokenTransferSaysWhyAndRetryMendsIt()
    {
        auto form = fixture_.Open(server_);
        QVERIFY(form);
        const QString target = place_.filePath("broken.bin");
        FileDialogAnswerer dialog(target);
        RunScript(form->Tabs().Find(1), "document.getElementById('broken').click()");
        QVERIFY(WaitFor([&] { return form->DownloadsPanel().List()->Items().size() == 1; }));
        engine::TDownload* download = form->DownloadsPanel().List()->Items()[0];
        form->NDownloadsClick();
        TDownloadRow* row = form->DownloadsPanel().Panel()->Rows().value(0);
        QVERIFY(row);
        QVERIFY(WaitFor([&] { return download->State() == State::Failed; }));
        QCOMPARE(row->StatusText(), QStringLiteral("下载失败：网络连接中断"));
        // The engine's own tries after each break asked nothing more.
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(server_.RequestsFor("/broken").size() > 1);
        QCOMPARE(PartFiles(*form), QStringList());
        QVERIFY(!QFile::exists(target));
        auto* retry = row->findChild<QPushButton*>("retryButton");
        QVERIFY(retry->isVisible());

        breaking_ = false;
        retry->click();
        QVERIFY(WaitFor([&] { return download->State() == State::Done; }));
        QVERIFY(IsWhole(target));
        QCOMPARE(dialog.Shown(), 1); // the place was chosen once
        QCOMPARE(form->DownloadsPanel().Panel()->Rows().size(), 1);
        QCOMPARE(PartFiles(*form), QStringList());
    }

private:
    // `size` bytes in 64 KB pieces, `pauseMs` after each; `breakOff` stops halfway.
    static void Provide(httplib::Response& res, std::size_t size, int pauseMs, bool breakOff)
    {
        res.set_content_provider(
            size, "application/octet-stream",
            [size, pauseMs, breakOff](std::size_t offset, std::size_t length,
                                      httplib::DataSink& sink) {
                if (breakOff && offset >= size / 2)
                    return false;
                std::string piece(std::min<std::size_t>(length, 64 << 10), '\0');
                for (std::size_t i = 0; i < piece.size(); ++i)
                    piece[i] = ByteAt(offset + i);
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
                return sink.write(piece.data(), piece.size());
            });
    }

    TestServer server_{6868, Host};
    QTemporaryDir place_;
    MainWindowFixture fixture_;
    DesktopStandIn desktop_;
    std::atomic<bool> breaking_{true};
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<DownloadsTest>(argc, argv);
}

#include "DownloadsTest.moc"
