// The command line with the real executable: an address or --settings reaches the running
// client through a second start that ends at once (also while the settings dialog is open
// there) or is carried out by a client started for it; any scheme but http: and https: is
// refused before anything starts.

#include <QCoreApplication>
#include <QLocalServer>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ClientUnderTest.h"

using namespace testing_support;
using namespace e2e;

namespace {

const QString Address = QStringLiteral("http://127.0.0.1:6868/popup.html?n=41");

} // namespace

class CommandLineTest : public ClientTestCase {
    Q_OBJECT
private slots:
    void refusedBeforeAnythingStarts_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("reason");
        QTest::newRow("file:") << "file:///etc/passwd"
                               << "not file:";
        QTest::newRow("javascript:") << "javascript:alert(1)"
                                     << "not javascript:";
        QTest::newRow("no scheme") << "127.0.0.1:6868/popup.html"
                                   << "not an address";
    }

    void refusedBeforeAnythingStarts()
    {
        QFETCH(QString, argument);
        QFETCH(QString, reason);
        const auto [status, errors] = client_.RunToEnd({argument});
        QCOMPARE(status, 2);
        QVERIFY2(errors.startsWith("quillmark-erp: ") && errors.contains(reason.toUtf8()),
                 errors.constData());
        QVERIFY(!QFile::exists(client_.ConfigPath()));
    }

    void secondStartsHandTheirCommandOver()
    {
        QVERIFY(client_.StartFirst());
        auto [status, errors] = client_.RunToEnd({QStringLiteral("--settings")});
        QCOMPARE(status, 0);
        QVERIFY(!errors.contains("WebEngine"));
        QVERIFY(client_.FirstLogged("quillmark.ui.windows: opening the settings dialog"));

        // The settings dialog is open and modal there: the address still opens.
        QCOMPARE(client_.RunToEnd({Address}).first, 0);
        QVERIFY(WaitFor([] { return PageAddresses().contains(Address); }));
        QVERIFY(WaitFor([&] {
            return client_.Service().peek(1 << 20).contains(
                "GET /popup.html 200  Accept-Language: zh-CN");
        }));

        // A handle that is not the running window's (a client of another directory).
        QFile config(client_.ConfigPath());
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        config.write("[SYSTEM]\nHANDLE=12345\n");
        config.close();
        std::tie(status, errors) = client_.RunToEnd({Address + QStringLiteral("2")});
        QCOMPARE(status, 1);
        QVERIFY2(errors.contains("did not take the request"), errors.constData());
        QVERIFY(!PageAddresses().contains(Address + QStringLiteral("2")));
        QCOMPARE(client_.First().state(), QProcess::Running);
    }

    // Another user came first in the shared temporary directory: the client's directory
    // and the lock's old place are theirs, locked, and listen for the hand-over; the next
    // name is ours but open to others.
    void aSquatterOfTheTemporaryDirectoryStopsNothing()
    {
        if (::geteuid() != 0)
            QSKIP("playing another user needs root");
        QTemporaryDir tmp;
        const QString mine = QStringLiteral("/quillmark-%1").arg(::getuid());
        QVERIFY(QDir().mkdir(tmp.path() + mine) && QDir().mkdir(tmp.path() + mine + "-1"));
        int locks[2];
        QLocalServer squatters[2];
        for (int i = 0; i < 2; ++i) {
            const QByteArray base =
                QFile::encodeName(tmp.path() + (i ? mine : "") + "/BrowserQuillmark-0");
            locks[i] = ::open(base + ".lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            QVERIFY(::flock(locks[i], LOCK_EX | LOCK_NB) == 0 &&
                    ::fchown(locks[i], 65534, 65534) == 0);
            QVERIFY(squatters[i].listen(QString::fromLocal8Bit(base + ".sock")));
        }
        QVERIFY(::chown(QFile::encodeName(tmp.path() + mine), 65534, 65534) == 0);
        QVERIFY(::chmod(QFile::encodeName(tmp.path() + mine), 0777) == 0);
        QVERIFY(::chmod(QFile::encodeName(tmp.path() + mine + "-1"), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(tmp.path()), 01777) == 0);
        for (const char* name : {"XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY"})
            client_.UnsetEnvironment(QString::fromLatin1(name));
        client_.SetEnvironment(QStringLiteral("TMPDIR"), tmp.path());

        QVERIFY2(client_.StartFirst(), "the client did not run its own instance");
        QVERIFY(QFile::exists(tmp.path() + mine + "-2/BrowserQuillmark-0.lock"));
        QCOMPARE(client_.RunToEnd({Address}).first, 0);
        QVERIFY(WaitFor([] { return PageAddresses().contains(Address); }));
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(!squatters[i].hasPendingConnections(), "the squatter got the hand-over");
            ::close(locks[i]);
        }
    }

    void aClientStartedForAnAddressOpensIt()
    {
        QVERIFY(client_.StartFirst({Address}));
        QVERIFY(WaitFor([] { return PageAddresses().contains(Address); }));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CommandLineTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CommandLineTest.moc"
