#pragma once
// What the end-to-end tests share: the demo service on 127.0.0.1:6868 and plain GETs to
// the client's debugging endpoint.

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QString>
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

} // namespace e2e
