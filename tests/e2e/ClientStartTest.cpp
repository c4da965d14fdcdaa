// The real client, copied alone into an empty directory, against the demo service:
// it writes config.ini, serves the debugging endpoint, opens the start page with this
// machine's identity, checks the version once, and hands over to a second start.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "ClientRun.h"
#include "support/TestHelpers.h"

using namespace testing_support;
using e2e::BinDir;
using e2e::StartDemoService;

namespace {

QString ReadIniValue(const QString& path, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.trimmed().toUpper().startsWith(key.toUpper().toLatin1() + '='))
            return QString::fromUtf8(line.mid(line.indexOf('=') + 1).trimmed());
    return {};
}

} // namespace

class ClientStartTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(appDir_.Prepare());
        env_ = appDir_.Environment();
        env_.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillmark.*.info=true"));

        QVERIFY2(StartDemoService(service_),
                 "the demo service did not start: is 127.0.0.1:6868 taken by another process?");
    }

    void cleanup()
    {
        for (QProcess* p : {&first_, &service_})
            e2e::Stop(*p);
    }

    void firstRunOpensTheStartPageAndHandsOver()
    {
        first_.setProcessEnvironment(env_);
        first_.setProcessChannelMode(QProcess::SeparateChannels);
        first_.start(appDir_.Client(), {});
        QVERIFY(first_.waitForStarted());

        const QString config = appDir_.FilePath(QStringLiteral("config.ini"));
        QVERIFY(WaitFor(
            [&] { return ReadIniValue(config, QStringLiteral("HANDLE")).toLongLong() > 0; }));

        // The debugging endpoint lists the start tab with the identity in its address.
        QString startUrl;
        QVERIFY(WaitFor(
            [&] {
                startUrl = e2e::DebuggedPage(QStringLiteral("http://127.0.0.1:6868/?ComputerName="))
                               .value(QStringLiteral("url"))
                               .toString();
                return !startUrl.isEmpty();
            },
            30000));

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
        QVERIFY(WaitFor([&] { return service_.peek(1 << 20).contains("GET /ver/ver.html"); }));
        QVERIFY(WaitFor(
            [&] { return service_.peek(1 << 20).contains("GET / 200  Accept-Language: zh-CN"); }));

        // A second start hands over and ends without starting the engine.
        QProcess second;
        second.setProcessEnvironment(env_);
        second.start(appDir_.Client(), {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!second.readAllStandardError().contains("WebEngine"));
        QVERIFY(WaitFor([&] {
            return first_.peek(1 << 20).contains("showing the window") ||
                   first_.readAllStandardError().contains("showing the window");
        }));
        QCOMPARE(first_.state(), QProcess::Running);
        QVERIFY(QDir(appDir_.FilePath(QStringLiteral("cache"))).exists());
        // By now the version file would have been asked for again, had the client (or
        // the hand-over) checked twice.
        QCOMPARE(service_.peek(1 << 20).count("GET /ver/ver.html"), 1);
    }

private:
    e2e::ClientDir appDir_;
    QProcessEnvironment env_;
    QProcess service_;
    QProcess first_;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ClientStartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ClientStartTest.moc"
