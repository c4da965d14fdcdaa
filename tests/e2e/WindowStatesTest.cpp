// The real client on a display with a window manager (Xvfb and icewm): a first start and
// a stored STATE of 2 open maximised; STATE 0 and 1 open normal and minimised at their
// stored rectangle, which the client writes back unchanged when it ends. Beside STATE=2
// the rectangle is the last normal one: un-maximised, the window goes back to it.

#include <QCoreApplication>
#include <QPoint>
#include <QRegularExpression>
#include <csignal>

#include "ClientUnderTest.h"
#include "WindowManagerDisplay.h"

using namespace testing_support;
using namespace e2e;

namespace {

QByteArray Placement(int left, int top, int right, int bottom, int state)
{
    return QStringLiteral("[WIN]\nLEFT=%1\nTOP=%2\nRIGHT=%3\nBOTTOM=%4\nSTATE=%5\n")
        .arg(left)
        .arg(top)
        .arg(right)
        .arg(bottom)
        .arg(state)
        .toUtf8();
}

// The [WIN] lines of a config.ini, in the order Placement() writes them.
QByteArray PlacementLines(const QByteArray& config)
{
    QByteArray lines = "[WIN]\n";
    for (const char* key : {"LEFT=", "TOP=", "RIGHT=", "BOTTOM=", "STATE="}) {
        const qsizetype at = config.indexOf(QByteArray("\n") + key);
        if (at >= 0)
            lines += config.mid(at + 1, config.indexOf('\n', at + 1) - at);
    }
    return lines;
}

// Where the window manager has put the frame around `window`: its client area's place
// less the frame's left and top extents.
QPoint FramePosition(const WindowManagerDisplay& display, const QString& window)
{
    const auto position =
        QRegularExpression(QStringLiteral("Position: (-?\\d+),(-?\\d+)"))
            .match(display.Run(QStringLiteral("xdotool"), {"getwindowgeometry", window}));
    const auto extents =
        QRegularExpression(QStringLiteral("= (\\d+), \\d+, (\\d+),"))
            .match(display.Run(QStringLiteral("xprop"), {"-id", window, "_NET_FRAME_EXTENTS"}));
    if (!position.hasMatch() || !extents.hasMatch())
        return {};
    return {position.captured(1).toInt() - extents.captured(1).toInt(),
            position.captured(2).toInt() - extents.captured(2).toInt()};
}

} // namespace

class WindowStatesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString missing = WindowManagerDisplay::Missing();
        if (!missing.isEmpty())
            QSKIP(qPrintable(QStringLiteral("needs %1 (make deps installs them)").arg(missing)));
    }
    void cleanup() { client_.TearDown(); }

    void opensInTheStoredState_data()
    {
        QTest::addColumn<QByteArray>("placement"); // empty: a first start
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<bool>("minimized");
        // Frame position and size when not maximised, or, given with maximised, un-maximised to
        QTest::addColumn<QRect>("rect");
        QTest::newRow("first start") << QByteArray() << true << false << QRect();
        QTest::newRow("STATE=2") << Placement(100, 120, 900, 720, 2) << true << false << QRect();
        QTest::newRow("STATE=2, un-maximised")
            << Placement(100, 120, 900, 720, 2) << true << false << QRect(100, 120, 800, 600);
        QTest::newRow("STATE=0") << Placement(100, 120, 900, 720, 0) << false << false
                                 << QRect(100, 120, 800, 600);
        QTest::newRow("STATE=1") << Placement(150, 90, 850, 590, 1) << false << true
                                 << QRect(150, 90, 700, 500);
    }

    void opensInTheStoredState()
    {
        QFETCH(QByteArray, placement);
        QFETCH(bool, maximized);
        QFETCH(bool, minimized);
        QFETCH(QRect, rect);
        WindowManagerDisplay display;
        const QString failure = display.Start();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        const QString problem = client_.SetUp();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QFile config(client_.ConfigPath());
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(placement);
        config.close();
        client_.SetEnvironment(QStringLiteral("DISPLAY"), display.Name());
        client_.SetEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        QVERIFY(client_.StartFirst());

        const QString pid = QString::number(client_.First().processId());
        QString window;
        QString state;
        // The main window is the client's window that the manager has given a state; the
        // state settles a moment after the window shows.
        QVERIFY2(
            WaitFor(
                [&] {
                    for (const QString& id :
                         display.Run(QStringLiteral("xdotool"), {"search", "--pid", pid})
                             .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                        const QString name =
                            display.Run(QStringLiteral("xdotool"), {"getwindowname", id});
                        if (!name.startsWith(QLatin1String("QuillmarkERP")))
                            continue;
                        window = id;
                        state = display.Run(QStringLiteral("xprop"), {"-id", id, "_NET_WM_STATE"});
                        if (state.contains(QLatin1String("MAXIMIZED_VERT")) == maximized &&
                            state.contains(QLatin1String("_NET_WM_STATE_HIDDEN")) == minimized)
                            return true;
                    }
                    return false;
                },
                20000),
            qPrintable(QStringLiteral("window %1: %2").arg(window, state)));
        QCOMPARE(state.contains(QLatin1String("MAXIMIZED_HORZ")), maximized);
        const bool unmaximized = maximized && !rect.isNull();
        if (unmaximized) {
            display.Run(QStringLiteral("xdotool"), {"key", "--window", window, "alt+F5"});
            maximized = false;
            QTest::qWait(1000);
        }

        const QString geometry =
            display.Run(QStringLiteral("xdotool"), {"getwindowgeometry", window});
        const auto match =
            QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)")).match(geometry);
        QVERIFY2(match.hasMatch(), qPrintable(geometry));
        const QSize shown(match.captured(1).toInt(), match.captured(2).toInt());
        qInfo() << QTest::currentDataTag() << "shown at" << shown << state.trimmed();
        if (maximized)
            QVERIFY2(shown.width() > 1200 && shown.height() > 900, qPrintable(geometry));
        else
            QCOMPARE(shown, rect.size());
        if (!maximized && !minimized) {
            // The frame goes back to its stored place a moment after the window shows.
            QVERIFY2(
                WaitFor([&] { return FramePosition(display, window) == rect.topLeft(); }, 5000),
                qPrintable(QStringLiteral("frame at %1,%2")
                               .arg(FramePosition(display, window).x())
                               .arg(FramePosition(display, window).y())));
        }

        // Ended from outside, the client writes where its window is.
        QProcess& client = client_.First();
        ::kill(int(client.processId()), SIGTERM);
        QVERIFY(client.waitForFinished(20000));
        QCOMPARE(client.exitCode(), 0);
        const QByteArray stored = PlacementLines(client_.Config());
        if (maximized)
            QVERIFY2(stored.endsWith(placement.isEmpty() ? "STATE=2\n" : placement),
                     stored.constData());
        else if (unmaximized)
            QCOMPARE(stored, QByteArray(placement).replace("STATE=2", "STATE=0"));
        else
            QCOMPARE(stored, placement);
    }

private:
    ClientUnderTest client_;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    WindowStatesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowStatesTest.moc"
