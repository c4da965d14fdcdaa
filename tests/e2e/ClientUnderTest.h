#pragma once
// What the end-to-end tests share: the real client copied alone into a temporary
// application directory, the demo service on 127.0.0.1:6868, and ways to watch them.

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
#include <memory>

#include "support/TestHelpers.h"

namespace e2e {

inline const QString BinDir = QStringLiteral(QUILLMARK_BIN_DIR);

inline QByteArray HttpGet(const QString& url)
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(2000);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    testing_support::WaitFor([&] { return reply->isFinished(); }, 3000);
    return reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
}

// The addresses of the pages the running client's engine shows.
inline QStringList PageAddresses()
{
    QStringList urls;
    const auto list = HttpGet(QStringLiteral("http://127.0.0.1:9000/json/list"));
    for (const auto& target : QJsonDocument::fromJson(list).array())
        urls << target.toObject().value(QStringLiteral("url")).toString();
    return urls;
}

// Set up in init(), torn down in cleanup(): a fresh application directory with the
// client in it, and the demo service.
class ClientUnderTest {
public:
    // Empty on success, else what went wrong. `serviceArguments` go to the demo service.
    QString SetUp(const QStringList& serviceArguments = {})
    {
        appDir_ = std::make_unique<QTemporaryDir>();
        client_ = appDir_->filePath(QStringLiteral("quillmark-erp"));
        if (!QDir(appDir_->path()).mkpath(QStringLiteral("run")) ||
            !QFile::copy(QStringLiteral(QUILLMARK_CLIENT), client_))
            return QStringLiteral("cannot make the application directory");
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), appDir_->filePath(QStringLiteral("run")));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillmark.*.info=true"));
        service_.start(BinDir + QStringLiteral("/quillmark-demo-service"),
                       QStringList{QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                                   QStringLiteral("--port"), QStringLiteral("6868")} +
                           serviceArguments);
        if (!testing_support::WaitFor([&] { return service_.peek(4096).contains("listening"); }))
            return QStringLiteral("the demo service did not start: is 127.0.0.1:6868 taken?");
        return {};
    }

    void TearDown()
    {
        for (QProcess* p : {&first_, &service_}) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
            p->waitForFinished(5000);
        }
    }

    // Changes the client's environment; call between SetUp() and StartFirst().
    void SetEnvironment(const QString& name, const QString& value) { env_.insert(name, value); }
    void UnsetEnvironment(const QString& name) { env_.remove(name); }
    QString AppDir() const { return appDir_->path(); }
    // The copy of the client and the environment it runs in, for starts of a test's own.
    QString Program() const { return client_; }
    QProcessEnvironment Environment() const { return env_; }
    QString ConfigPath() const { return appDir_->filePath(QStringLiteral("config.ini")); }
    QByteArray Config() const
    {
        QFile config(ConfigPath());
        return config.open(QIODevice::ReadOnly) ? config.readAll() : QByteArray();
    }
    QProcess& Service() { return service_; }
    QProcess& First() { return first_; }

    // Starts the client that stays running; true once it has published its window in
    // config.ini and shows its start page.
    bool StartFirst(const QStringList& arguments = {})
    {
        first_.setProcessEnvironment(env_);
        first_.setProcessChannelMode(QProcess::MergedChannels);
        first_.start(client_, arguments);
        return testing_support::WaitFor(
            [&] {
                QFile config(ConfigPath());
                return config.open(QIODevice::ReadOnly) && config.readAll().contains("HANDLE=") &&
                       !PageAddresses().filter(QStringLiteral("/?ComputerName=")).isEmpty();
            },
            30000);
    }
    bool FirstLogged(const QByteArray& text)
    {
        return testing_support::WaitFor([&] { return first_.peek(1 << 22).contains(text); });
    }

    // A start that ends by itself (killed after 10 s); its exit status and standard error.
    std::pair<int, QByteArray> RunToEnd(const QStringList& arguments)
    {
        QProcess process;
        process.setProcessEnvironment(env_);
        process.start(client_, arguments);
        if (!process.waitForFinished(10000))
            process.kill();
        process.waitForFinished();
        const bool normal = process.exitStatus() == QProcess::NormalExit;
        return {normal ? process.exitCode() : -1, process.readAllStandardError()};
    }

private:
    std::unique_ptr<QTemporaryDir> appDir_;
    QString client_;
    QProcessEnvironment env_;
    QProcess service_;
    QProcess first_;
};

// A test case with a client set up afresh before each test and torn down after it.
class ClientTestCase : public QObject {
    Q_OBJECT
protected:
    ClientUnderTest client_;

private slots:
    void init()
    {
        const QString problem = client_.SetUp();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
    void cleanup() { client_.TearDown(); }
};

} // namespace e2e
