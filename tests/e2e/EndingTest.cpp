// The real client asked to end by the system: SIGTERM, SIGINT and SIGHUP end it as "退出"
// answered with Yes does, without asking, also while the update question is open or when
// a second signal follows the first at once; and "退出" itself, from the tray of a real
// desktop, with the update question open. Each time it writes its placement, takes no
// update, leaves no engine process behind and ends with status 0.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <map>

#include "ClientUnderTest.h"
#include "WindowManagerDisplay.h"
#include "support/Processes.h"

using namespace testing_support;
using namespace e2e;

namespace {

// Every process started from `root`, children of children too (the engine's renderers
// are children of its zygote).
std::vector<int> DescendantsOf(int root)
{
    std::multimap<int, int> children;
    for (int pid : ProcessIds()) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(stat, line);
        const size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        int parent = 0;
        rest >> state >> parent;
        children.emplace(parent, pid);
    }
    std::vector<int> found;
    std::vector<int> todo{root};
    while (!todo.empty()) {
        const int pid = todo.back();
        todo.pop_back();
        const auto [from, to] = children.equal_range(pid);
        for (auto it = from; it != to; ++it) {
            found.push_back(it->second);
            todo.push_back(it->second);
        }
    }
    return found;
}

bool AnyAlive(const std::vector<int>& pids)
{
    for (int pid : pids)
        if (!ExecutableOf(pid).empty())
            return true;
    return false;
}

} // namespace

class EndingTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { client_.TearDown(); }

    void signalsEndTheClientInOrder_data()
    {
        QTest::addColumn<QList<int>>("signalNumbers");
        QTest::addColumn<bool>("updateQuestion");
        QTest::newRow("SIGTERM with the update question open") << QList<int>{SIGTERM} << true;
        QTest::newRow("SIGINT and SIGHUP in a row") << QList<int>{SIGINT, SIGHUP} << false;
    }

    void signalsEndTheClientInOrder()
    {
        QFETCH(QList<int>, signalNumbers);
        QFETCH(bool, updateQuestion);
        StartClient(updateQuestion, {});
        if (QTest::currentTestFailed())
            return;
        const std::vector<int> helpers = DescendantsOf(int(client_.First().processId()));
        QVERIFY(!helpers.empty());
        for (int number : signalNumbers)
            ::kill(int(client_.First().processId()), number);
        ExpectEndedInOrder(helpers);
    }

    // The tray menu's last entry, then Yes (the default button) in "确定要退出吗？", while
    // the update question waits.
    void exitFromTheTrayWithTheUpdateQuestionOpen()
    {
        const QString missing = WindowManagerDisplay::Missing();
        if (!missing.isEmpty())
            QSKIP(qPrintable(QStringLiteral("needs %1 (make deps installs them)").arg(missing)));
        WindowManagerDisplay display;
        const QString failure = display.Start();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        StartClient(true, display.Name());
        if (QTest::currentTestFailed())
            return;
        const QString pid = QString::number(client_.First().processId());
        const std::vector<int> helpers = DescendantsOf(pid.toInt());
        const auto windows = [&] {
            return display.Run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--pid", pid})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        };
        QString tray;
        for (const QString& id : windows())
            if (display.Run(QStringLiteral("xdotool"), {"getwindowgeometry", id})
                    .contains(QLatin1String("Geometry: 24x24")))
                tray = id;
        QVERIFY2(!tray.isEmpty(), "no tray icon on the display");
        const QStringList before = windows();
        display.Run(QStringLiteral("xdotool"),
                    {"mousemove", "--window", tray, "12", "12", "click", "3"});
        QTest::qWait(1000);
        display.Run(QStringLiteral("xdotool"), {"key", "Up", "Return"});
        // The exit question is the window that came with it.
        QString question;
        QVERIFY2(WaitFor(
                     [&] {
                         for (const QString& id : windows())
                             if (!before.contains(id))
                                 question = id;
                         return !question.isEmpty();
                     },
                     10000),
                 "the exit question did not show");
        display.Run(QStringLiteral("xdotool"), {"windowfocus", "--sync", question});
        display.Run(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "Return"});
        ExpectEndedInOrder(helpers);
    }

private:
    // The client on the demo service, offscreen or on `display`; with `updateQuestion` the
    // service offers a new version and this returns once the question is up.
    void StartClient(bool updateQuestion, const QString& display)
    {
        const QString problem = client_.SetUp(
            updateQuestion ? QStringList{QStringLiteral("--version"), QStringLiteral("9.9.9.9")}
                           : QStringList());
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // An updater that says when it has been started.
        QFile script(Updater());
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch \"$0.ran\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!display.isEmpty()) {
            client_.SetEnvironment(QStringLiteral("DISPLAY"), display);
            client_.SetEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        }
        QVERIFY(client_.StartFirst());
        QVERIFY(!client_.Config().contains("[WIN]"));
        if (updateQuestion) {
            QVERIFY(client_.FirstLogged("offering version \"9.9.9.9\""));
            QTest::qWait(1000); // the box is up
        }
    }

    QString Updater() const { return client_.AppDir() + QStringLiteral("/Update"); }

    void ExpectEndedInOrder(const std::vector<int>& helpers)
    {
        QElapsedTimer ending;
        ending.start();
        QProcess& client = client_.First();
        QVERIFY2(client.waitForFinished(20000), "the client did not end");
        qInfo() << QTest::currentTestFunction() << QTest::currentDataTag() << "ended"
                << ending.elapsed() << "ms after it was asked to";
        QCOMPARE(client.exitStatus(), QProcess::NormalExit);
        QCOMPARE(client.exitCode(), 0);
        const QByteArray log = client.readAll();
        QVERIFY(log.contains("engine shut down"));
        const QByteArray config = client_.Config();
        for (const char* key : {"[WIN]", "LEFT=", "TOP=", "RIGHT=", "BOTTOM=", "STATE="})
            QVERIFY2(config.contains(key), config.constData());
        QVERIFY2(WaitFor([&] { return !AnyAlive(helpers); }, 5000),
                 "an engine process outlived the client");
        QVERIFY(!QFile::exists(Updater() + QStringLiteral(".ran")));
    }

    ClientUnderTest client_;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    EndingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EndingTest.moc"
