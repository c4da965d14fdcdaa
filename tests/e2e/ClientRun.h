#pragma once
// What the end-to-end tests share: the demo service on 127.0.0.1:6868 and plain GETs to
// the client's debugging endpoint.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "support/TestHelpers.h"

namespace e2e {

inline const QString BinDir = QStringLiteral(QUILLMARK_BIN_DIR);

// The body of a GET, empty on any failure (within about 3 s).
inline QByteArray HttpGet(const QString& url)
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(2000);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    testing_support::WaitFor([&] { return reply->isFinished(); }, 3000);
    return reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
}

// A temporary application directory that holds a copy of the client alone, and the
// environment to run it in: headless, with a runtime directory (its instance lock) of
// its own.
class ClientDir {
public:
    // Copies the client in (again, for a test's next row); false on failure.
    bool Prepare()
    {
        QFile::remove(Client());
        return dir_.isValid() && QDir(dir_.path()).mkpath(QStringLiteral("run")) &&
               QFile::copy(QStringLiteral(QUILLMARK_CLIENT), Client());
    }
    QString Client() const { return FilePath(QStringLiteral("quillmark-erp")); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), FilePath(QStringLiteral("run")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

private:
    QTemporaryDir dir_;
};

// Starts the demo service on the service's fixed address; true once it listens.
inline bool StartDemoService(QProcess& service)
{
    service.setProgram(BinDir + QStringLiteral("/quillmark-demo-service"));
    service.setArguments({QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                          QStringLiteral("--port"), QStringLiteral("6868")});
    service.start();
    return service.waitForStarted() &&
           testing_support::WaitFor([&] { return service.peek(4096).contains("listening"); });
}

// The running client's first page whose address starts with `prefix`, as its debugging
// endpoint lists it ("url", "webSocketDebuggerUrl", ...); empty while there is none.
inline QJsonObject DebuggedPage(const QString& prefix)
{
    const QJsonArray targets =
        QJsonDocument::fromJson(HttpGet(QStringLiteral("http://127.0.0.1:9000/json/list"))).array();
    for (const auto& target : targets)
        if (target.toObject().value(QStringLiteral("url")).toString().startsWith(prefix))
            return target.toObject();
    return {};
}

// Ends a process started by a test, politely first.
inline void Stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(5000);
}

} // namespace e2e
