#include "app/InstanceListener.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QLoggingCategory>

#include "shared/ZphConst.h"

Q_LOGGING_CATEGORY(lcInstance, "quillmark.app")

InstanceListener::InstanceListener(const QString& channelPath, QWidget* window) : window_(window)
{
    // We hold the instance lock, so a socket file left there is from a dead client.
    QLocalServer::removeServer(channelPath);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(channelPath))
        qCWarning(lcInstance) << "cannot listen on" << channelPath << server_.errorString();
    connect(&server_, &QLocalServer::newConnection, this, &InstanceListener::Accept);
}

InstanceListener::~InstanceListener()
{
    server_.close();
}

void InstanceListener::Accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine() || !window_)
                return;
            bool ok = false;
            const qint64 handle = socket->readLine(32).trimmed().toLongLong(&ok);
            if (ok && handle == qint64(window_->winId())) {
                qCInfo(lcInstance) << "a second start hands over: showing the window";
                QCoreApplication::postEvent(window_, new QEvent(zph::WM_SHOWMAIN));
            }
            socket->disconnectFromServer();
        });
    }
}
