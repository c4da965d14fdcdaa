// The real client killed (SIGKILL) fifty times within its first second, while it writes
// config.ini: the file always holds either the old or the new content, never a truncated
// one, and the next start clears away the temporary files a killed write left.

#include <QCoreApplication>
#include <QDir>
#include <csignal>
#include <random>

#include "ClientUnderTest.h"

using namespace testing_support;
using namespace e2e;

namespace {

const QByteArray Settings = "; kept by every write\n[SERVICE]\nHOST=127.0.0.1\n"
                            "[WIN]\nLEFT=10\nTOP=20\nRIGHT=810\nBOTTOM=620\nSTATE=0\n";

QStringList Temporaries(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral("config.ini.tmp-*")}, QDir::Files | QDir::Hidden);
}

void WriteStale(const QString& path)
{
    QFile stale(path);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("[SYSTEM]\nHAN");
}

} // namespace

class ConfigKillTest : public ClientTestCase {
    Q_OBJECT
private slots:
    void killedInItsFirstSecondNeverTruncatesTheSettings()
    {
        QFile config(client_.ConfigPath());
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(Settings);
        config.close();

        std::mt19937 random(6868);
        int leftBehind = 0;
        int written = 0; // runs that got as far as writing their window's handle
        for (int run = 0; run < 50; ++run) {
            QProcess client;
            client.setProcessEnvironment(client_.Environment());
            client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            client.start(client_.Program(), {});
            QVERIFY(client.waitForStarted());
            QTest::qWait(int(random() % 1000));
            client.kill();
            QVERIFY(client.waitForFinished(10000));

            const QByteArray now = client_.Config();
            QVERIFY2(now.startsWith(Settings.left(Settings.indexOf("[WIN]"))) &&
                         now.contains("\nSTATE=0\n"),
                     qPrintable(QStringLiteral("run %1 left:\n%2").arg(run).arg(now.constData())));
            leftBehind += int(Temporaries(client_.AppDir()).size());
            written += now.contains("HANDLE=") ? 1 : 0;
        }
        qInfo() << "runs that wrote:" << written << "- temporary files seen after the kills,"
                << "summed over the runs:" << leftBehind;

        // A start that is let run clears them away, and one a kill certainly left.
        WriteStale(client_.AppDir() + QStringLiteral("/config.ini.tmp-Ab12Cd"));
        QVERIFY(client_.StartFirst());
        QCOMPARE(Temporaries(client_.AppDir()), QStringList());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ConfigKillTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ConfigKillTest.moc"
