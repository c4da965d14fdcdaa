#pragma once
// The running client's end of the single-instance channel: a second start sends the
// window handle it found in config.ini, and when it is this window's, the window is
// told to show itself (message 2027).

#include <QLocalServer>
#include <QPointer>
#include <QWidget>

class InstanceListener : public QObject {
    Q_OBJECT
public:
    InstanceListener(const QString& channelPath, QWidget* window);
    ~InstanceListener() override;

private:
    void Accept();

    QLocalServer server_;
    QPointer<QWidget> window_;
};
