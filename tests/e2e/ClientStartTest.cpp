// The real client, copied alone into an empty directory, against the demo service:
// it writes config.ini, serves the debugging endpoint, opens the start page with this
// machine's identity, checks the version once, and hands over to a second start.

#include <QCoreApplication>

#include "ClientUnderTest.h"

using namespace testing_support;
using namespace e2e;

class ClientStartTest : public ClientTestCase {
    Q_OBJECT
private slots:
    void firstRunOpensTheStartPageAndHandsOver()
    {
        const QTemporaryDir home;
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            client_.SetEnvironment(name, {});
        client_.SetEnvironment("HOME", home.path());
        // A download asks its place in a file dialog, which remembers its folders.
        QVERIFY(client_.StartFirst({"http://127.0.0.1:6868/download/report.csv"}));
        QVERIFY(WaitFor([&] { return QDir(home.path() + "/Downloads").exists(); }));

        // The debugging endpoint lists the start tab with the identity in its address.
        const QString startUrl =
            PageAddresses().filter(QStringLiteral("http://127.0.0.1:6868/?ComputerName=")).value(0);
        QProcess identity;
        identity.start(BinDir + QStringLiteral("/quillmark-identity"), {});
        QVERIFY(identity.waitForFinished(10000));
        const QString expected = QString::fromUtf8(identity.readAllStandardOutput())
                                     .split(QLatin1Char('\n'))
                                     .filter(QStringLiteral("StartUrl="))
                                     .value(0)
                                     .mid(9);
        qInfo() << "start address" << startUrl;
        QCOMPARE(startUrl, expected);

        // The service saw the start page asked for in Chinese, and the version file.
        QProcess& service = client_.Service();
        QVERIFY(WaitFor([&] { return service.peek(1 << 20).contains("GET /ver/ver.html"); }));
        QVERIFY(WaitFor(
            [&] { return service.peek(1 << 20).contains("GET / 200  Accept-Language: zh-CN"); }));

        // A second start hands over and ends without starting the engine.
        const auto [status, errors] = client_.RunToEnd({});
        QCOMPARE(status, 0);
        QVERIFY(!errors.contains("WebEngine"));
        QVERIFY(client_.FirstLogged("showing the window"));
        QCOMPARE(client_.First().state(), QProcess::Running);
        QVERIFY(QDir(client_.AppDir() + QStringLiteral("/cache")).exists());
        // By now the version file would have been asked for again, had the client (or
        // the hand-over) checked twice.
        QCOMPARE(service.peek(1 << 20).count("GET /ver/ver.html"), 1);

        client_.TearDown();
        QVERIFY(QFile::exists(client_.AppDir() + "/QtProject.conf"));
        // Nothing outside its directory but the download folder the dialog proposes.
        QCOMPARE(
            QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"Downloads"});
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ClientStartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ClientStartTest.moc"
