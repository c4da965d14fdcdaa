// The real client asked to end by the system: SIGTERM, SIGINT and SIGHUP end it as "退出"
// answered with Yes does, without asking, also while the update question is open or when
// a second signal follows the first at once. It writes its placement, takes no update,
// leaves no engine process behind and ends with status 0.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <map>

#include "ClientUnderTest.h"
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
        const QString problem = client_.SetUp(
            updateQuestion ? QStringList{QStringLiteral("--version"), QStringLiteral("9.9.9.9")}
                           : QStringList());
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // An updater that says when it has been started.
        const QString updater = client_.AppDir() + QStringLiteral("/Update");
        QFile script(updater);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch \"$0.ran\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(client_.StartFirst());
        QVERIFY(!client_.Config().contains("[WIN]"));
        if (updateQuestion) {
            QVERIFY(client_.FirstLogged("offering version \"9.9.9.9\""));
            QTest::qWait(1000); // the box is up
        }
        QProcess& client = client_.First();
        const int pid = int(client.processId());
        const std::vector<int> helpers = DescendantsOf(pid);
        QVERIFY(!helpers.empty());

        QElapsedTimer ending;
        ending.start();
        for (int number : signalNumbers)
            ::kill(pid, number);
        QVERIFY2(client.waitForFinished(20000), "the client did not end");
        qInfo() << "ended" << ending.elapsed() << "ms after the signal";
        QCOMPARE(client.exitStatus(), QProcess::NormalExit);
        QCOMPARE(client.exitCode(), 0);

        const QByteArray log = client.readAll();
        QVERIFY2(log.contains("- ending the client"), log.right(2000).constData());
        QVERIFY(log.contains("engine shut down"));
        const QByteArray config = client_.Config();
        for (const char* key : {"[WIN]", "LEFT=", "TOP=", "RIGHT=", "BOTTOM=", "STATE="})
            QVERIFY2(config.contains(key), config.constData());
        QVERIFY2(WaitFor([&] { return !AnyAlive(helpers); }, 5000),
                 "an engine process outlived the client");
        QVERIFY(!QFile::exists(updater + QStringLiteral(".ran")));
    }

private:
    ClientUnderTest client_;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    EndingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EndingTest.moc"
