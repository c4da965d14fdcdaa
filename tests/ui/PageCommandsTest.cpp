// Script dialogs of the main window's pages: plain ones in the client's own boxes, the two
// commands, malformed commands left to the engine's dialog, a way out of a dialog loop,
// the tray while a box is open, and re-login and cache clearing as far as this process
// sees them (the end-to-end test watches the restarted client).

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "platform/InstanceLock.h"
#include "shared/Global.h"
#include "support/Processes.h"

using namespace testing_support;
using window_life::BoxWatcher;
using window_life::SeenBox;

namespace {

const QString Host = QStringLiteral("127.47.7.1");
const QString Relogin = QStringLiteral("确定要重新登录吗？");

// Runs `kind` (alert, confirm or prompt) with the message that the script expression
// `message` evaluates to, and writes the answer into the page's title.
QString DialogScript(const QString& kind, const QString& message)
{
    const QString prompt =
        kind == QLatin1String("prompt") ? QStringLiteral(", 'Zhang 张'") : QString();
    return QStringLiteral(
               "setTimeout(() => { const a = %1(%2%3); document.title = '%1:' + a; }, 0)")
        .arg(kind, message, prompt);
}

QString PageTitle(const TBrowserTab* tab)
{
    return tab->Browser->Page()->title();
}

// Runs `script` in the tab once its title no longer holds an earlier answer.
bool RunAfresh(const TBrowserTab* tab, const QString& script)
{
    RunScript(tab, QStringLiteral("document.title = 'ready'"));
    if (!WaitFor([&] { return PageTitle(tab) == QLatin1String("ready"); }))
        return false;
    RunScript(tab, script);
    return true;
}

// The stand-in for the client that a restart starts: it records the directory it was
// started in.
QString WriteClientStandIn(const QString& path)
{
    // Written whole before it appears: the test reads it as soon as it exists.
    window_life::WriteBytes(path,
                            "#!/bin/sh\npwd > \"$0.part\" && mv \"$0.part\" \"$0.started\"\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// An instance lock of the test's own for the window; its file goes with it.
class TestLock {
public:
    TestLock()
        : lock_(std::in_place,
                "QuillmarkPageCommandsTest-" + std::to_string(QCoreApplication::applicationPid())),
          path_(lock_->LockPath())
    {}
    ~TestLock() { Release(); }
    const platform::InstanceLock* Get() const { return &*lock_; }
    const std::string& Path() const { return path_; }
    void Release()
    {
        lock_.reset();
        QFile::remove(QString::fromStdString(path_));
    }

private:
    std::optional<platform::InstanceLock> lock_;
    std::string path_;
};

} // namespace

Q_DECLARE_METATYPE(QMessageBox::StandardButton)
Q_DECLARE_METATYPE(QMessageBox::StandardButtons)
Q_DECLARE_METATYPE(QMessageBox::Icon)

class PageCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        ServeStartAndPopups(server_);
    }

    void cleanup()
    {
        if (form_ && !form_->isVisible())
            form_.reset();
    }

    void dialogsAndCommands_data()
    {
        QTest::addColumn<bool>("background"); // from a popup tab behind the start tab
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message"); // a script expression
        QTest::addColumn<QMessageBox::StandardButton>("press");
        QTest::addColumn<QString>("boxText");
        QTest::addColumn<QString>("boxTitle"); // the engine's own dialog: "engine"
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QString>("answer");

        const auto ok = QMessageBox::StandardButtons(QMessageBox::Ok);
        const auto yesNo = QMessageBox::Yes | QMessageBox::No;
        const auto okCancel = QMessageBox::Ok | QMessageBox::Cancel;
        const auto none = QMessageBox::NoIcon;
        const QString app = QStringLiteral("QuillmarkERP");
        // clang-format off
        QTest::newRow("alert, markup as text") << false << "alert" << "'<b>Hello</b> 你好 &lt;'" << QMessageBox::Ok << "<b>Hello</b> 你好 &lt;" << app << none << ok << "alert:undefined";
        QTest::newRow("alert from a background tab") << true << "alert" << "'behind'" << QMessageBox::Ok << "behind" << app << none << ok << "alert:undefined";
        QTest::newRow("confirm, Yes") << false << "confirm" << "'<i>Proceed?</i>'" << QMessageBox::Yes << "<i>Proceed?</i>" << "" << none << yesNo << "confirm:true";
        QTest::newRow("confirm, No") << true << "confirm" << "'Proceed?'" << QMessageBox::No << "Proceed?" << "" << none << yesNo << "confirm:false";
        QTest::newRow("prompt, OK gives the typed text") << false << "prompt" << "'<b>Your name?</b>'" << QMessageBox::Ok << "<b>Your name?</b>" << app << none << okCancel << "prompt:typed 输入";
        QTest::newRow("prompt, Cancel gives null") << true << "prompt" << "'Your name?'" << QMessageBox::Cancel << "Your name?" << app << none << okCancel << "prompt:null";
        QTest::newRow("lower-case prefix is plain") << false << "alert" << "'zephrin:RELOGIN:'" << QMessageBox::Ok << "zephrin:RELOGIN:" << app << none << ok << "alert:undefined";
        QTest::newRow("shorter than the prefix is plain") << false << "alert" << "'ZEPHRIN'" << QMessageBox::Ok << "ZEPHRIN" << app << none << ok << "alert:undefined";
        QTest::newRow("no colon after the name") << false << "alert" << "'ZEPHRIN:<b>CLEAR_CACHE</b>'" << QMessageBox::Ok << "ZEPHRIN:<b>CLEAR_CACHE</b>" << "engine" << none << ok << "alert:undefined";
        QTest::newRow("empty name") << true << "alert" << "'ZEPHRIN::'" << QMessageBox::Ok << "ZEPHRIN::" << "engine" << none << ok << "alert:undefined";
        QTest::newRow("name in other letters, confirm") << false << "confirm" << "'ZEPHRIN:clear_cache:'" << QMessageBox::Yes << "ZEPHRIN:clear_cache:" << "engine" << none << yesNo << "confirm:true";
        QTest::newRow("malformed prompt, OK") << true << "prompt" << "'ZEPHRIN:x'" << QMessageBox::Ok << "ZEPHRIN:x" << "engine" << none << okCancel << "prompt:typed 输入";
        QTest::newRow("RELOGIN by confirm, No: yields false") << false << "confirm" << "'ZEPHRIN:RELOGIN:'" << QMessageBox::No << Relogin << app << QMessageBox::Question << yesNo << "confirm:false";
        QTest::newRow("RELOGIN with 1 MB argument, No") << true << "prompt" << "'ZEPHRIN:RELOGIN:' + 'x'.repeat(1 << 20)" << QMessageBox::No << Relogin << app << QMessageBox::Question << yesNo << "prompt:null";
        // clang-format on
    }

    void dialogsAndCommands()
    {
        QFETCH(bool, background);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QFETCH(QMessageBox::StandardButton, press);
        QFETCH(QString, boxTitle);
        QVERIFY(OpenWindow());
        TFormMain& form = *form_;
        TBrowserTab* tab = background ? TabOfPage(form, 2) : form.Tabs().Find(1);

        BoxWatcher watcher;
        watcher.Plan(press);
        watcher.TypeIntoFields(QStringLiteral("typed 输入"));
        QVERIFY(RunAfresh(tab, DialogScript(kind, message)));
        QVERIFY(WaitFor([&] { return PageTitle(tab).startsWith(kind + QLatin1Char(':')); }));
        QTEST(PageTitle(tab), "answer");

        QCOMPARE(watcher.Seen().size(), 1);
        const SeenBox& box = watcher.Seen()[0];
        QTEST(box.Text, "boxText");
        QTEST(box.Icon, "icon");
        QTEST(box.Buttons, "buttons");
        // Page text is never read as markup; a prompt's field starts with its default text.
        QCOMPARE(box.Format, Qt::PlainText);
        const bool field = box.Buttons == (QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.FieldText, field ? QStringLiteral("Zhang 张") : QString());
        if (boxTitle == QLatin1String("engine")) {
            // The host only: the address carries the workstation's identity.
            QCOMPARE(box.Title, QStringLiteral("来自 %1 的网页消息").arg(Host));
            // Over the page's view, which takes it along when it closes.
            QVERIFY(box.Parent && box.Parent != &form && box.Parent->window() == &form);
        } else {
            QCOMPARE(box.Title, boxTitle);
            // Over the main window, which stays usable through its tray.
            QCOMPARE(box.Parent.data(), &form);
            QCOMPARE(box.Modality, Qt::WindowModal);
        }
        // Nothing ended or changed the client.
        QVERIFY(form.isVisible() && !form.Closing && !form.ExitRequested && form.ConfirmExit);
        QVERIFY(!form.Restarter().RestartRequested());
        QCOMPARE(form.PageControl1->ActivePageIndex(), 1);
    }

    void dialogLoopCanBeSilencedUntilThePageNavigates()
    {
        QVERIFY(OpenWindow());
        TFormMain& form = *form_;
        TBrowserTab* looping = TabOfPage(form, 2);
        // Boxes of earlier tests do not count once the page has loaded again.
        QVERIFY(RunAfresh(looping, QStringLiteral("location.reload()")));
        QVERIFY(WaitFor([&] { return PageTitle(looping) == QLatin1String("Popup 0"); }));
        BoxWatcher watcher(QMessageBox::Ok);
        watcher.TickCheckBoxes(true);
        RunScript(looping, QStringLiteral("setTimeout(() => {"
                                          "  for (let i = 0; i < 5; ++i) alert('loop ' + i);"
                                          "  const c = confirm('again?');"
                                          "  const p = prompt('name?', 'x');"
                                          "  confirm('ZEPHRIN:RELOGIN:');"
                                          "  document.title = 'silenced:' + c + ':' + p;"
                                          "}, 0)"));
        QVERIFY(WaitFor([&] { return PageTitle(looping).startsWith(QLatin1String("silenced")); }));
        QCOMPARE(PageTitle(looping), QStringLiteral("silenced:false:null"));
        // Three boxes, the third with the way out; then only the command still asked.
        QStringList texts, checkBoxes;
        for (const SeenBox& box : watcher.Seen())
            texts << box.Text, checkBoxes << box.CheckBoxText;
        QCOMPARE(texts, (QStringList{"loop 0", "loop 1", "loop 2", Relogin}));
        QCOMPARE(checkBoxes, (QStringList{"", "", "禁止此页面再显示对话框", ""}));
        QVERIFY(form.isVisible() && !form.Restarter().RestartRequested());

        // Other pages are not silenced.
        watcher.TickCheckBoxes(false);
        TBrowserTab* start = form.Tabs().Find(1);
        QVERIFY(RunAfresh(start, DialogScript(QStringLiteral("alert"), QStringLiteral("'start'"))));
        QVERIFY(WaitFor([&] { return PageTitle(start) == QLatin1String("alert:undefined"); }));
        QCOMPARE(watcher.Seen().size(), 5);

        // Once the page has loaded again, its dialogs show.
        QVERIFY(RunAfresh(looping, QStringLiteral("location.reload()")));
        QVERIFY(WaitFor([&] { return PageTitle(looping) == QLatin1String("Popup 0"); }));
        QVERIFY(RunAfresh(looping,
                          DialogScript(QStringLiteral("alert"), QStringLiteral("'reloaded'"))));
        QVERIFY(WaitFor([&] { return PageTitle(looping) == QLatin1String("alert:undefined"); }));
        QCOMPARE(watcher.Seen().size(), 6);
        QCOMPARE(watcher.Seen().last().Text, QStringLiteral("reloaded"));
        QCOMPARE(watcher.Seen().last().CheckBoxText, QString());
    }

    // Tray "退出" while a page's box is open: the exit question, and on Yes the client
    // ends with the page's box answered as No.
    void trayExitWhileABoxIsOpen()
    {
        QVERIFY(OpenWindow());
        TFormMain& form = *form_;
        TBrowserTab* start = form.Tabs().Find(1);
        QSignalSpy closed(&form, &TFormMain::Closed);
        QStringList seen;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || (!seen.isEmpty() && seen.last() == box->text()))
                return;
            seen << box->text();
            if (box->text() == QLatin1String("Stay?"))
                QTimer::singleShot(0, form.NExit, &QAction::trigger);
            else
                box->button(QMessageBox::Yes)->click();
        });
        poll.start(20);
        RunScript(start, DialogScript(QStringLiteral("confirm"), QStringLiteral("'Stay?'")));
        QVERIFY(WaitFor([&] { return closed.count() == 1 && !QApplication::activeModalWidget(); }));
        QCOMPARE(seen, (QStringList{"Stay?", "确定要退出吗？"}));
        QVERIFY(form.Closing);
        QVERIFY(WaitFor([&] { return PageTitle(start) == QLatin1String("confirm:false"); }));
    }

    void reloginStartsTheClientAgainOnceThisOneHasEnded_data()
    {
        QTest::addColumn<bool>("fromTray");
        QTest::newRow("page command") << false;
        QTest::newRow("tray entry") << true;
    }

    void reloginStartsTheClientAgainOnceThisOneHasEnded()
    {
        QFETCH(bool, fromTray);
        QVERIFY(OpenWindow());
        TFormMain& form = *form_;
        const QString client = WriteClientStandIn(standIn_);
        TestLock lock;
        form.Restarter().SetInstanceMutex(lock.Get());
        QSignalSpy closed(&form, &TFormMain::Closed);

        BoxWatcher watcher;
        watcher.Plan(QMessageBox::Yes);
        if (fromTray)
            QTimer::singleShot(0, form.NRelogin, &QAction::trigger);
        else
            RunScript(form.Tabs().Find(1),
                      DialogScript(QStringLiteral("alert"), QStringLiteral("'ZEPHRIN:RELOGIN:'")));
        QVERIFY(WaitFor([&] { return closed.count() == 1; }));
        // Asked once, and not whether to exit.
        QCOMPARE(watcher.Seen().size(), 1);
        QCOMPARE(watcher.Seen()[0].Text, Relogin);
        QVERIFY(!form.ConfirmExit && form.ExitRequested && form.Restarter().RestartRequested());

        // The new client waits while this one still holds its lock.
        QVERIFY(WaitFor([&] { return SomeoneWaitsForLock(lock.Path()); }));
        QVERIFY(!QFile::exists(client + ".started"));
        lock.Release();
        QVERIFY(WaitFor([&] { return QFile::exists(client + ".started"); }));
        QCOMPARE(window_life::ReadBytes(client + ".started"),
                 QDir(AppDir).absolutePath().toUtf8() + '\n');
        QFile::remove(client + ".started");
    }

    // ClearCache.sh cannot be written: one box says why, the client ends, nothing restarts,
    // however often the page sends the command.
    void clearCacheWithoutItsScriptEndsAndSaysSo()
    {
        QVERIFY(OpenWindow());
        TFormMain& form = *form_;
        const QString client = WriteClientStandIn(standIn_);
        TestLock lock;
        form.Restarter().SetInstanceMutex(lock.Get());
        QVERIFY(QDir(AppDir).mkpath(QStringLiteral("ClearCache.sh")));
        QSignalSpy closed(&form, &TFormMain::Closed);

        BoxWatcher watcher(QMessageBox::Ok);
        RunScript(form.Tabs().Find(1),
                  QStringLiteral(
                      "setTimeout(() => { for (let i = 0; i < 1000; ++i)"
                      "  alert('ZEPHRIN:CLEAR_CACHE:' + (i ? '' : 'x'.repeat(1 << 20))); }, 0)"));
        QVERIFY(WaitFor([&] { return closed.count() == 1 && !QApplication::activeModalWidget(); }));
        QVERIFY(form.Closing && form.ExitRequested && !form.ConfirmExit);
        QCOMPARE(watcher.Seen().size(), 1);
        QVERIFY2(watcher.Seen()[0].Text.startsWith(QStringLiteral("清除缓存失败：无法写入 ") +
                                                   AppDir + QStringLiteral("ClearCache.sh")),
                 qPrintable(watcher.Seen()[0].Text));
        QCOMPARE(watcher.Seen()[0].Icon, QMessageBox::Warning);
        // A restart would wait for the lock from the moment it was started.
        QVERIFY(!SomeoneWaitsForLock(lock.Path()));
        QVERIFY(!QFile::exists(client + ".started"));
    }

private:
    // The window with a popup tab behind the start tab; a new one once the last has closed.
    bool OpenWindow()
    {
        if (form_)
            return true;
        TFormMainOptions options;
        options.ClientExecutable = standIn_;
        form_ = fixture_.Open(server_, MainWindowFixture::DefaultSize, options);
        if (!form_ || !OpenPopups(*form_, 1)) {
            form_.reset();
            return false;
        }
        form_->PageControl1->SetActivePageIndex(1);
        return true;
    }

    TestServer server_{6868, Host};
    MainWindowFixture fixture_;
    QTemporaryDir standInDir_;
    const QString standIn_ = standInDir_.filePath(QStringLiteral("client stand-in"));
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<PageCommandsTest>(argc, argv);
}

#include "PageCommandsTest.moc"
