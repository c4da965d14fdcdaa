#pragma once
// The running client's end of the single-instance channel: a second start sends one line
// (core/HandOver.h) with the window handle it found in config.ini, and when the handle is
// this window's, the command is carried out and the answer says so.

#include <QLocalServer>
#include <QPointer>

class TFormMain;

class InstanceListener : public QObject {
    Q_OBJECT
public:
    InstanceListener(const QString& channelPath, TFormMain* window);
    ~InstanceListener() override;

private:
    void Accept();

    QLocalServer server_;
    QPointer<TFormMain> window_;
};
