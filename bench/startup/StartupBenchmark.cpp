// Start-up timings, each the median of several runs from a fresh application directory:
//  - a second start's hand-over (start to exit) against the client's cold start to its
//    first shown window (target: under 100 ms and under a fifth of the cold start);
//  - the client's cold start until the start page has loaded against a bare engine
//    window loading the same page (target: at most 1.15).

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Headless unless there is a display to use.
void UseDisplayOrOffscreen(QProcessEnvironment& env)
{
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) &&
        !env.contains(QStringLiteral("DISPLAY")) &&
        !env.contains(QStringLiteral("WAYLAND_DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
}

const QString BinDir = QStringLiteral(QUILLMARK_BIN_DIR);
constexpr int Runs = 5;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from start until `line` appears on the process's standard error; -1 on
// time-out. The process keeps running.
double TimeUntilLine(QProcess& process, const QByteArray& line, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    process.start();
    QByteArray seen;
    while (timer.elapsed() < timeoutMs) {
        process.waitForReadyRead(5);
        seen += process.readAllStandardError();
        if (seen.contains(line))
            return double(timer.nsecsElapsed()) / 1e6;
    }
    return -1;
}

struct ClientRun {
    QTemporaryDir dir;
    QProcess process;

    ClientRun()
    {
        QDir(dir.path()).mkpath(QStringLiteral("run"));
        const QString exe = dir.filePath(QStringLiteral("quillmark-erp"));
        QFile::copy(BinDir + QStringLiteral("/quillmark-erp"), exe);
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("run")));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillmark.*.info=true"));
        UseDisplayOrOffscreen(env);
        process.setProcessEnvironment(env);
        process.setProgram(exe);
    }
    ~ClientRun()
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QProcess service;
    service.setProgram(BinDir + QStringLiteral("/quillmark-demo-service"));
    service.start();
    if (!service.waitForStarted() || !service.waitForReadyRead(5000)) {
        std::fprintf(stderr, "the demo service did not start (is port 6868 taken?)\n");
        return 1;
    }

    std::vector<double> coldShown, handover, coldLoaded, bareLoaded;
    for (int i = 0; i < Runs; ++i) {
        {
            ClientRun first;
            coldShown.push_back(TimeUntilLine(first.process, "main window shown"));
            QProcess second;
            second.setProcessEnvironment(first.process.processEnvironment());
            second.setProgram(first.process.program());
            QElapsedTimer timer;
            timer.start();
            second.start();
            second.waitForFinished(10000);
            handover.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        {
            ClientRun client;
            coldLoaded.push_back(TimeUntilLine(client.process, "start tab loaded"));
        }
        QProcess bare;
        bare.setProgram(BinDir + QStringLiteral("/quillmark-bench-bare-page"));
        bare.setArguments({QStringLiteral("http://127.0.0.1:6868/")});
        auto env = QProcessEnvironment::systemEnvironment();
        UseDisplayOrOffscreen(env);
        bare.setProcessEnvironment(env);
        bareLoaded.push_back(TimeUntilLine(bare, "page loaded"));
        bare.waitForFinished(10000);
    }
    service.kill();
    service.waitForFinished();

    const double shown = Median(coldShown), over = Median(handover);
    const double loaded = Median(coldLoaded), bareMs = Median(bareLoaded);
    std::printf("start-up (median of %d runs)\n", Runs);
    std::printf("  cold start to first shown window   %8.1f ms\n", shown);
    std::printf(
        "  second start hand-over             %8.1f ms   ratio %.3f  (target < 100 ms, < 0.2)\n",
        over, over / shown);
    std::printf("  cold start to start page loaded    %8.1f ms\n", loaded);
    std::printf("  bare engine window, same page      %8.1f ms   ratio %.3f  (target <= 1.15)\n",
                bareMs, loaded / bareMs);
    return 0;
}
