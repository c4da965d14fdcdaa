// The real client, copied alone into an empty directory, against the demo service:
// it writes config.ini, serves the debugging endpoint, opens the start page with this
// machine's identity, checks the version once, and hands over to a second start.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/TestHelpers.h"

using namespace testing_support;

namespace {

const QString BinDir = QStringLiteral(QUILLMARK_BIN_DIR);

QByteArray HttpGet(const QString& url)
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(2000);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    WaitFor([&] { return reply->isFinished(); }, 3000);
    return reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
}

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
        QVERIFY(appDir_.isValid());
        QVERIFY(QDir(appDir_.path()).mkpath(QStringLiteral("run")));
        client_ = appDir_.filePath(QStringLiteral("quillmark-erp"));
        QVERIFY(QFile::copy(QStringLiteral(QUILLMARK_CLIENT), client_));

        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), appDir_.filePath(QStringLiteral("run")));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillmark.*.info=true"));

        service_.setProgram(BinDir + QStringLiteral("/quillmark-demo-service"));
        service_.setArguments({QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                               QStringLiteral("--port"), QStringLiteral("6868")});
        service_.start();
        QVERIFY(service_.waitForStarted());
        QVERIFY2(WaitFor([&] { return service_.peek(4096).contains("listening"); }),
                 "the demo service did not start: is 127.0.0.1:6868 taken by another process?");
    }

    void cleanup()
    {
        for (QProcess* p : {&first_, &service_}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(5000))
                    p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    void firstRunOpensTheStartPageAndHandsOver()
    {
        first_.setProcessEnvironment(env_);
        first_.setProcessChannelMode(QProcess::SeparateChannels);
        first_.start(client_, {});
        QVERIFY(first_.waitForStarted());

        const QString config = appDir_.filePath(QStringLiteral("config.ini"));
        QVERIFY(WaitFor(
            [&] { return ReadIniValue(config, QStringLiteral("HANDLE")).toLongLong() > 0; }));

        // The debugging endpoint lists the start tab with the identity in its address.
        QString startUrl;
        QVERIFY(WaitFor(
            [&] {
                const auto targets = QJsonDocument::fromJson(
                                         HttpGet(QStringLiteral("http://127.0.0.1:9000/json/list")))
                                         .array();
                for (const auto& target : targets) {
                    const QString url = target.toObject().value(QStringLiteral("url")).toString();
                    if (url.startsWith(QStringLiteral("http://127.0.0.1:6868/?ComputerName=")))
                        startUrl = url;
                }
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
        second.start(client_, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!second.readAllStandardError().contains("WebEngine"));
        QVERIFY(WaitFor([&] {
            return first_.peek(1 << 20).contains("showing the window") ||
                   first_.readAllStandardError().contains("showing the window");
        }));
        QCOMPARE(first_.state(), QProcess::Running);
        QVERIFY(QDir(appDir_.filePath(QStringLiteral("cache"))).exists());
        // By now the version file would have been asked for again, had the client (or
        // the hand-over) checked twice.
        QCOMPARE(service_.peek(1 << 20).count("GET /ver/ver.html"), 1);
    }

private:
    QTemporaryDir appDir_;
    QString client_;
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
