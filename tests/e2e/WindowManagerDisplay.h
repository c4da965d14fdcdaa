#pragma once
// A display of the test's own with a real window manager on it (Xvfb and icewm), where
// window states and placement behave as on a desktop; offscreen they do not.

#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include "support/TestHelpers.h"

namespace e2e {

class WindowManagerDisplay {
public:
    ~WindowManagerDisplay()
    {
        for (QProcess* p : {&manager_, &server_}) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
            p->waitForFinished(5000);
        }
    }

    // What is missing for it on this machine; empty when everything is there.
    static QString Missing()
    {
        QStringList missing;
        for (const char* program : {"Xvfb", "icewm", "xdotool", "xprop"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
                missing << QString::fromLatin1(program);
        return missing.join(QLatin1String(", "));
    }

    // Empty on success, else what went wrong.
    QString Start()
    {
        server_.setProgram(QStringLiteral("Xvfb"));
        server_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                              QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp")});
        server_.start();
        if (!server_.waitForStarted() ||
            !testing_support::WaitFor([&] { return server_.canReadLine(); }, 10000))
            return QStringLiteral("Xvfb did not start");
        name_ = QLatin1Char(':') + QString::fromLatin1(server_.readLine().trimmed());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), name_);
        manager_.setProcessEnvironment(env);
        manager_.setProcessChannelMode(QProcess::MergedChannels);
        // The manager owns the screen once it has taken the selection of screen 0; under
        // a full test run that may take a while, and a manager that could not yet open the
        // display gives up at once, so it is started again until it holds.
        if (!testing_support::WaitFor(
                [&] {
                    if (manager_.state() == QProcess::NotRunning) {
                        log_ += QString::fromLocal8Bit(manager_.readAll());
                        manager_.start(QStringLiteral("icewm"), {});
                        manager_.waitForStarted();
                    }
                    return Run(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"})
                        .contains("window id");
                },
                45000))
            return QStringLiteral("icewm did not take the display: ") +
                   (log_ + QString::fromLocal8Bit(manager_.readAll())).right(500);
        return {};
    }

    QString Name() const { return name_; }

    // Runs an X client of this display and returns its standard output.
    QString Run(const QString& program, const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), name_);
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

private:
    QProcess server_;
    QProcess manager_;
    QString name_;
    QString log_; // what earlier managers printed before they gave up
};

} // namespace e2e
