// The real client, copied into a directory whose path holds a space, quotes, "$", a
// backquote, "&" and Chinese, starts itself again. After CLEAR_CACHE (sent a thousand
// times, the first with a 1 MB argument) its cache is empty but for the cookie database,
// a cookie set a second before the command is still sent and a cached picture is fetched
// anew; after three in a row the last client answers on 9000, holds as many files open as
// the first, and no engine process of an earlier one is left. After RELOGIN (answered in
// the box, on a display of the test's own) the cache is kept. Each time the old client
// ends, exactly one new one runs, in the application directory, and none hands over.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <httplib.h>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <unistd.h>

#include "ClientUnderTest.h"
#include "support/Processes.h"
#include "support/TestHelpers.h"
#include "support/TestServer.h"

using namespace testing_support;

namespace {

// The first visit loads the cached picture, gets a cookie that lasts, and a second later
// sends the command; later visits load the picture and say when it is there.
const char* FirstVisit = R"html(<html><head><title>first</title></head><body>
<img src="/cached.png" onload="fetch('/late-cookie').then(() => setTimeout(send, 1000))">
<script>function send() { %COMMAND% }</script></body></html>)html";
const char* LaterVisit = R"html(<html><head><title>again</title></head><body>
<img src="/cached.png" onload="fetch('/loaded')"></body></html>)html";

QByteArray Png()
{
    return QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8"
                                  "DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class RestartTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "127.0.0.1:6868 is taken by another process");
        server_.Page("/ver/ver.html", R"({"Version":"1.0.0.2","Info":""})");
        server_.Handle("/", [this](const httplib::Request&, httplib::Response& res) {
            std::string page = ++visits_ <= restarts_ ? FirstVisit : LaterVisit;
            if (const size_t slot = page.find("%COMMAND%"); slot != std::string::npos)
                page.replace(slot, 9, Command());
            res.set_content(page, "text/html; charset=utf-8");
        });
        server_.Handle("/cached.png", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Cache-Control", "max-age=86400");
            res.set_content(Png().toStdString(), "image/png");
        });
        server_.Handle("/late-cookie", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "late=kept; Path=/; Max-Age=86400");
            res.set_content("ok", "text/plain");
        });
        server_.Page("/loaded", "ok", "text/plain");
    }

    void init()
    {
        appDir_.emplace(
            QDir::temp().filePath(QStringLiteral("quillmark e2e 'a\" $HOME `x` & 中文-XXXXXX")));
        QVERIFY(appDir_->isValid());
        QVERIFY(runDir_.isValid());
        client_ = appDir_->filePath(QStringLiteral("quillmark-erp"));
        QVERIFY(QFile::copy(QStringLiteral(QUILLMARK_CLIENT), client_));
        // Files in the cache the engine knows nothing of: cache clearing deletes them too.
        Write(appDir_->filePath(QStringLiteral("cache/Left over/stale.bin")), "stale");
        Write(appDir_->filePath(QStringLiteral("cache/Left over/deeper/stale")), "stale");
        visits_ = 0;
        server_.ClearRequests();

        env_ = QProcessEnvironment::systemEnvironment();
        env_.remove(QStringLiteral("DISPLAY"));
        env_.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runDir_.path());
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        first_.setProcessEnvironment(env_);
        // Files, not pipes: the restarted client keeps writing to them after the first is gone.
        first_.setStandardOutputFile(appDir_->filePath(QStringLiteral("client.log")));
        first_.setStandardErrorFile(appDir_->filePath(QStringLiteral("client.log")),
                                    QIODevice::Append);
    }

    void cleanup()
    {
        for (int pid : Clients())
            ::kill(pid, SIGTERM);
        WaitFor([&] { return Clients().empty(); }, 10000);
        for (int pid : Clients())
            ::kill(pid, SIGKILL);
        first_.waitForFinished(5000);
        if (display_.state() != QProcess::NotRunning) {
            display_.terminate();
            display_.waitForFinished(5000);
        }
        appDir_.reset();
    }

    void clearCacheThreeTimesKeepsTheLateCookieAndStartsClean()
    {
        restarts_ = 3;
        SetCommand("for (let i = 0; i < 1000; ++i)"
                   "  alert('ZEPHRIN:CLEAR_CACHE:' + (i ? '' : 'x'.repeat(1 << 20)));");
        first_.start(client_, {});
        QVERIFY(first_.waitForStarted());
        const int firstPid = int(first_.processId());
        // A fresh start's open files, with its page shown: a second before the command.
        QVERIFY(WaitFor([&] { return !server_.RequestsFor("/late-cookie").empty(); }, 60000));
        const int freshFiles = OpenFiles(firstPid);
        QVERIFY2(first_.waitForFinished(60000), "the client did not end after CLEAR_CACHE");
        QCOMPARE(first_.exitCode(), 0);

        QVERIFY2(WaitFor([&] { return server_.RequestsFor("/loaded").size() == 1; }, 180000),
                 "the client did not come back three times");
        const auto visits = server_.RequestsFor("/");
        QCOMPARE(int(visits.size()), 4);
        for (int restart = 1; restart <= 3; ++restart)
            QCOMPARE(visits[restart].Headers.value("cookie"), QStringLiteral("late=kept"));
        QCOMPARE(int(server_.RequestsFor("/cached.png").size()), 4);
        QVERIFY(!QFile::exists(appDir_->filePath(QStringLiteral("cache/Left over/stale.bin"))));
        QVERIFY(!QFile::exists(appDir_->filePath(QStringLiteral("cache/Left over/deeper/stale"))));
        QVERIFY(QDir(appDir_->filePath(QStringLiteral("cache/Left over/deeper"))).exists());
        QVERIFY(!QFile::exists(appDir_->filePath(QStringLiteral("Cookies"))));
        QVERIFY(!QFile::exists(appDir_->filePath(QStringLiteral("Cookies-journal"))));
        QVERIFY(QFile::exists(appDir_->filePath(QStringLiteral("ClearCache.sh"))));
        ExpectOneNewClient(firstPid);

        const int last = Clients().front();
        QVERIFY2(e2e::PageAddresses().filter(QStringLiteral("/?ComputerName=")).size() == 1,
                 "the developer tools do not answer on 9000");
        QCOMPARE_LE(OpenFiles(last), freshFiles + 10);
        const QString left = EngineProcessesOutsideSessionOf(last);
        QVERIFY2(left.isEmpty(), qPrintable("engine processes of earlier clients:" + left));
    }

    void reloginKeepsTheCache()
    {
        restarts_ = 1;
        QVERIFY2(StartDisplay(), "no Xvfb display for the re-login question");
        SetCommand("alert('ZEPHRIN:RELOGIN:');");
        first_.start(client_, {});
        QVERIFY(first_.waitForStarted());
        const int firstPid = int(first_.processId());
        // The question is the window captioned with the title alone that comes after the
        // main window, a second after the page got its cookie.
        QVERIFY(WaitFor([&] { return !server_.RequestsFor("/late-cookie").empty(); }, 60000));
        const QStringList before = TitledWindows();
        QString box;
        QVERIFY2(WaitFor(
                     [&] {
                         for (const QString& window : TitledWindows())
                             if (!before.contains(window))
                                 box = window;
                         return !box.isEmpty();
                     },
                     30000),
                 "the re-login question did not show");
        // Yes is the box's default button.
        Xdotool({"windowfocus", "--sync", box});
        Xdotool({"key", "--clearmodifiers", "Return"});
        QVERIFY2(first_.waitForFinished(30000), "the client did not end after RELOGIN");
        QCOMPARE(first_.exitCode(), 0);

        QVERIFY2(WaitFor([&] { return server_.RequestsFor("/loaded").size() == 1; }, 60000),
                 "the client did not come back");
        QCOMPARE(int(server_.RequestsFor("/").size()), 2);
        // The picture came from the cache this time.
        QCOMPARE(int(server_.RequestsFor("/cached.png").size()), 1);
        QVERIFY(QFile::exists(appDir_->filePath(QStringLiteral("cache/Left over/stale.bin"))));
        ExpectOneNewClient(firstPid);
    }

private:
    // The script the first visit runs; the server reads it on its own threads.
    void SetCommand(std::string command)
    {
        std::lock_guard lock(commandMutex_);
        command_ = std::move(command);
    }
    std::string Command() const
    {
        std::lock_guard lock(commandMutex_);
        return command_;
    }

    static int OpenFiles(int pid)
    {
        return int(std::distance(
            std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd"), {}));
    }

    // The engine processes of our clients (they have the test's runtime directory in
    // their environment) outside the session of `client` (each restart has its own).
    QString EngineProcessesOutsideSessionOf(int client) const
    {
        const std::string mark = "XDG_RUNTIME_DIR=" + runDir_.path().toStdString();
        QString left;
        for (int pid : ProcessIds())
            if (::getsid(pid) != ::getsid(client) &&
                ExecutableOf(pid).ends_with("/QtWebEngineProcess") &&
                HasEnvironmentEntry(pid, mark))
                left += QStringLiteral(" %1").arg(pid);
        return left;
    }

    // Our copy of the client, however many run.
    std::vector<int> Clients() const
    {
        std::vector<int> pids;
        for (int pid : ProcessIds())
            if (ExecutableOf(pid) == client_.toStdString())
                pids.push_back(pid);
        return pids;
    }

    // One client runs, not the first, in the application directory, holding the lock;
    // nothing waits to start another.
    void ExpectOneNewClient(int firstPid)
    {
        const std::vector<int> clients = Clients();
        QCOMPARE(int(clients.size()), 1);
        QVERIFY(clients[0] != firstPid);
        char cwd[4096] = {};
        QVERIFY(::readlink(("/proc/" + std::to_string(clients[0]) + "/cwd").c_str(), cwd,
                           sizeof cwd - 1) > 0);
        QCOMPARE(QString::fromUtf8(cwd), QDir(appDir_->path()).canonicalPath());
        // Named as the client names it: per user and display.
        const QString display = env_.value(QStringLiteral("DISPLAY"));
        const std::string lock =
            runDir_
                .filePath(QStringLiteral("BrowserQuillmark-%1%2.lock")
                              .arg(::getuid())
                              .arg(display.isEmpty() ? QString()
                                                     : "-" + QString(display).replace(':', '_')))
                .toStdString();
        const int fd = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        QVERIFY2(::flock(fd, LOCK_EX | LOCK_NB) != 0, "the new client does not hold the lock");
        ::close(fd);
        QVERIFY(!SomeoneWaitsForLock(lock));
        QCOMPARE(int(server_.RequestsFor("/ver/ver.html").size()), restarts_ + 1);
    }

    bool StartDisplay()
    {
        display_.setProgram(QStringLiteral("Xvfb"));
        display_.setArguments(
            {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        display_.start();
        if (!display_.waitForStarted() || !WaitFor([&] { return display_.canReadLine(); }, 10000))
            return false;
        const QString display =
            QLatin1Char(':') + QString::fromLatin1(display_.readLine().trimmed());
        env_.insert(QStringLiteral("DISPLAY"), display);
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        first_.setProcessEnvironment(env_);
        return true;
    }

    // Windows of the display captioned "QuillmarkERP".
    QStringList TitledWindows() const
    {
        return Xdotool({"search", "--onlyvisible", "--name", "^QuillmarkERP$"})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString Xdotool(const QStringList& arguments) const
    {
        QProcess xdotool;
        xdotool.setProcessEnvironment(env_);
        xdotool.start(QStringLiteral("xdotool"), arguments);
        xdotool.waitForFinished(10000);
        return QString::fromUtf8(xdotool.readAllStandardOutput());
    }

    TestServer server_{6868, QStringLiteral("127.0.0.1")};
    std::atomic<int> visits_{0};
    std::atomic<int> restarts_{1}; // visits that get the first visit's page
    mutable std::mutex commandMutex_;
    std::string command_;
    std::optional<QTemporaryDir> appDir_;
    QTemporaryDir runDir_;
    QString client_;
    QProcessEnvironment env_;
    QProcess first_;
    QProcess display_;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RestartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RestartTest.moc"
