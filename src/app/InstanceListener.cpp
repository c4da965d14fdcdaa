#include "app/InstanceListener.h"

#include <QLocalSocket>
#include <QLoggingCategory>

#include "app/ClientCommands.h"
#include "core/HandOver.h"
#include "ui/FormMain.h"

Q_LOGGING_CATEGORY(lcInstance, "quillmark.app")

namespace {

const char* Describe(const core::ClientCommand& command)
{
    switch (command.What) {
    case core::ClientCommand::Kind::OpenSettings:
        return "opening the settings dialog";
    case core::ClientCommand::Kind::OpenAddress:
        return "opening a secondary window";
    case core::ClientCommand::Kind::ShowWindow:
        break;
    }
    return "showing the window";
}

} // namespace

InstanceListener::InstanceListener(const QString& channelPath, TFormMain* window) : window_(window)
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
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > qint64(core::MaxHandOverLine))
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(qint64(core::MaxHandOverLine) + 1);
            const auto handOver = core::ParseHandOver(line.toStdString());
            const bool ours = handOver && window_ && handOver->Handle == qint64(window_->winId());
            if (ours) {
                qCInfo(lcInstance) << "a second start hands over:" << Describe(handOver->Command);
                PostClientCommand(*window_, handOver->Command);
            }
            socket->write(ours ? core::HandOverDone : core::HandOverIgnored);
            socket->disconnectFromServer();
        });
    }
}
