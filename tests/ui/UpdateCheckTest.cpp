// The update check against a real local service: what it asks, when it stays silent,
// and what an accepted update hands to the updater.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <httplib.h>
#include <thread>

#include "core/IniFile.h"
#include "engine/EngineProfile.h"
#include "shared/Global.h"
#include "support/TestHelpers.h"
#include "support/TestServer.h"
#include "ui/FormMain.h"
#include "ui/PostedMessages.h"
#include "ui/ServiceTasks.h"

using namespace testing_support;

namespace {

const QString ServiceAddress = QStringLiteral("127.41.9.1");

// Counts the messages the check posts to its window.
class MessageSink : public QObject {
public:
    int UpdateAccepted = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == WM_UPDATEACCEPTED) {
            ++UpdateAccepted;
            return true;
        }
        return QObject::event(e);
    }
};

} // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(server_.Port() == 6868);
        AppDir = appDir_.path() + QLatin1Char('/');
        core::IniFile(ConfigPath().toStdString())
            .WriteString("SERVICE", "HOST", ServiceAddress.toStdString());
        // A stand-in updater that records how it was started (its arguments whole once seen).
        WriteProgram(AppDir + QStringLiteral("Update"),
                     "#!/bin/sh\nprintf '%s' \"$*\" > \"$0.part\" && mv \"$0.part\" \"$0.args\"\n"
                     "pwd > \"$0.cwd\"\n");
        SetSystemConfigPath(systemDir_.filePath(QStringLiteral("config.ini")));
        server_.Handle("/ver/ver.html", [this](const httplib::Request&, httplib::Response& res) {
            std::lock_guard lock(bodyMutex_);
            res.status = status_;
            res.set_content(body_, "text/html");
        });
    }

    void asksOnlyForAnotherVersion_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("question"); // empty: no question

        const QString standard = QStringLiteral("发现新版本，确定要更新吗？");
        QTest::newRow("same version") << QByteArray(R"({"Version":"1.0.0.2"})") << QString();
        QTest::newRow("same version with blanks")
            << QByteArray(R"({"Version":"  1.0.0.2 ","Info":"x"})") << QString();
        QTest::newRow("older version")
            << QByteArray(R"({"Version":"1.0.0.1","Info":"请更新"})") << QStringLiteral("请更新");
        QTest::newRow("newer version") << QByteArray(R"({"Version":"1.0.0.3"})") << standard;
        QTest::newRow("empty object") << QByteArray("{}") << standard;
        QTest::newRow("blank info") << QByteArray(R"({"Version":"2","Info":"   "})") << standard;
        QTest::newRow("text after the object")
            << QByteArray(R"({"Version":"1.0.0.3","Info":"新"} trailing <html>)")
            << QStringLiteral("新");
        QTest::newRow("GBK body") << QByteArray("{\"Version\":\"9\",\"Info\":\"\xD0\xC2\xB0\xE6\"}")
                                  << QStringLiteral("新版");
        QTest::newRow("empty body") << QByteArray() << QString();
        QTest::newRow("not JSON") << QByteArray("<html>hello</html>") << QString();
        QTest::newRow("JSON array") << QByteArray(R"([{"Version":"9"}])") << QString();
        QTest::newRow("deeply nested") << QByteArray(100000, '[') << QString();
        QTest::newRow("50 MB") << QByteArray(qsizetype{50} << 20, ' ') + "{\"Version\":\"9\"}"
                               << QString();
    }

    void asksOnlyForAnotherVersion()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, question);
        SetResponse(200, body);
        ModalAnswerer answerer;
        answerer.Answer(QMessageBox::No, 60000);
        MessageSink sink;
        RunCheck(sink);
        QCOMPARE(answerer.Texts(), question.isEmpty() ? QStringList() : QStringList{question});
        QCOMPARE(sink.UpdateAccepted, 0);
        QVERIFY(!QFile::exists(AppDir + QStringLiteral("Update.args")));
    }

    void errorStatusIsSilent_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("404") << 404;
        QTest::newRow("500") << 500;
    }

    void errorStatusIsSilent()
    {
        QFETCH(int, status);
        SetResponse(status, R"({"Version":"9"})");
        ModalAnswerer answerer;
        answerer.Answer(QMessageBox::No, 60000);
        MessageSink sink;
        RunCheck(sink);
        QCOMPARE(answerer.Answered(), 0);
        QCOMPARE(sink.UpdateAccepted, 0);
    }

    void noServiceIsSilent() { ExpectSilenceFrom(QStringLiteral("127.41.9.2")); }

    // A service that takes the connection and never answers: the check gives up.
    void silentServiceIsSilent()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress(QStringLiteral("127.41.9.3")), 6868));
        ExpectSilenceFrom(QStringLiteral("127.41.9.3"));
    }

    void acceptedUpdateStartsTheUpdater()
    {
        SetResponse(200, R"({"Version":"1.0.0.3","Info":"有新版本"})");
        ModalAnswerer answerer;
        answerer.Answer(QMessageBox::Yes);
        MessageSink sink;
        RunCheck(sink);
        QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("有新版本")});

        const QString args = AppDir + QStringLiteral("Update.args");
        QVERIFY(WaitFor([&] { return QFile::exists(args); }));
        QFile recorded(args);
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        const QByteArray exeName =
            QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
        const QByteArray expected =
            QByteArray(R"({"FileName":"update.rar","ExeName":")" + exeName + R"("})").toBase64();
        QCOMPARE(recorded.readAll(), expected);
        QFile cwd(AppDir + QStringLiteral("Update.cwd"));
        QVERIFY(WaitFor([&] { return cwd.size() > 0; }));
        QVERIFY(cwd.open(QIODevice::ReadOnly));
        QCOMPARE(QDir(QString::fromUtf8(cwd.readAll().trimmed())).canonicalPath(),
                 QDir(AppDir).canonicalPath());
        QTRY_COMPARE(sink.UpdateAccepted, 1);
        QFile::remove(args);
    }

    // Which updater a new version goes to, and what the user hears when there is none or
    // it cannot start: the client then keeps running.
    void updaterIsFoundOrTheUserIsTold_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QByteArray>("systemConfig");
        QTest::addColumn<QString>("box"); // the first box's text starts so
        QTest::addColumn<int>("accepted");
        const QByteArray none;
        const QString question = QStringLiteral("有新版本");
        QTest::newRow("copied client, updater beside it") << false << none << question << 1;
        QTest::newRow("installed client, no updater")
            << true << none << QStringLiteral("发现新版本 1.0.0.3。\n本客户端随系统的软件包安装")
            << 0;
        QTest::newRow("installed client, the administrator's updater")
            << true << QByteArray("[SYSTEM]\nUPDATER={DIR}/deployed-update\n") << question << 1;
        QTest::newRow("updater that cannot start")
            << true << QByteArray("[SYSTEM]\nUPDATER={DIR}/broken-update\n") << question << 0;
        QTest::newRow("updater given by a relative path")
            << true << QByteArray("[SYSTEM]\nUPDATER=deployed-update\n")
            << QStringLiteral("发现新版本 1.0.0.3。") << 0;
    }

    void updaterIsFoundOrTheUserIsTold()
    {
        QFETCH(bool, installed);
        QFETCH(QByteArray, systemConfig);
        QFETCH(QString, box);
        QFETCH(int, accepted);
        const QString dir = systemDir_.path();
        WriteProgram(dir + QStringLiteral("/deployed-update"), "#!/bin/sh\ntouch \"$0.ran\"\n");
        WriteProgram(dir + QStringLiteral("/broken-update"), "#!/nonexistent/interpreter\n");
        WriteFile(SystemConfigPath(), systemConfig.replace("{DIR}", dir.toUtf8()));
        ClientInstalled = installed;
        SetResponse(200, R"({"Version":"1.0.0.3","Info":"有新版本"})");
        ModalAnswerer answerer;
        answerer.Answer(QMessageBox::Yes);
        answerer.Answer(QMessageBox::Ok);
        MessageSink sink;
        RunCheck(sink);
        ClientInstalled = false;
        QFile::remove(SystemConfigPath());
        QFile::remove(AppDir + QStringLiteral("Update.args"));

        QVERIFY2(!answerer.Texts().isEmpty() && answerer.Texts().first().startsWith(box),
                 qPrintable(answerer.Texts().join(QLatin1Char('|'))));
        QCOMPARE(sink.UpdateAccepted, accepted);
        if (QTest::currentDataTag() == QByteArray("updater that cannot start"))
            QCOMPARE(
                answerer.Texts().value(1),
                QStringLiteral("无法启动更新程序 %1/broken-update。\n客户端继续运行。").arg(dir));
    }

    // Without a host of the user's own, the administrator's host is the service.
    void administratorsHostIsTheDefault()
    {
        core::IniFile config(ConfigPath().toStdString());
        config.WriteString("SERVICE", "HOST", "");
        WriteFile(SystemConfigPath(), "[SERVICE]\nHOST=" + ServiceAddress.toUtf8() + "\n");
        SetResponse(200, R"({"Version":"9","Info":"来自管理员配置的服务"})");
        ModalAnswerer answerer;
        answerer.Answer(QMessageBox::No);
        MessageSink sink;
        RunCheck(sink);
        QFile::remove(SystemConfigPath());
        config.WriteString("SERVICE", "HOST", ServiceAddress.toStdString());
        QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("来自管理员配置的服务")});
    }

private:
    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    static void WriteProgram(const QString& path, const QByteArray& script)
    {
        WriteFile(path, script);
        QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                   QFileDevice::ExeOwner);
    }

    // The check against `host` asks nothing and accepts nothing.
    void ExpectSilenceFrom(const QString& host)
    {
        core::IniFile config(ConfigPath().toStdString());
        config.WriteString("SERVICE", "HOST", host.toStdString());
        ModalAnswerer answerer;
        answerer.Answer(QMessageBox::No, 60000);
        MessageSink sink;
        RunCheck(sink);
        config.WriteString("SERVICE", "HOST", ServiceAddress.toStdString());
        QCOMPARE(answerer.Answered(), 0);
        QCOMPARE(sink.UpdateAccepted, 0);
    }

    void SetResponse(int status, const QByteArray& body)
    {
        std::lock_guard lock(bodyMutex_);
        status_ = status;
        body_ = body.toStdString();
    }

    // Runs the check on a worker thread, as the window does, and waits for it to end.
    static void RunCheck(MessageSink& sink)
    {
        auto mailbox = std::make_shared<TWindowMailbox>(&sink);
        std::atomic<bool> done = false;
        std::thread worker([&, deployment = CurrentDeployment()] {
            CheckForUpdate(mailbox, deployment);
            done = true;
        });
        const bool finished = WaitFor([&] { return done.load(); }, 60000);
        worker.join();
        QVERIFY(finished);
        QCoreApplication::sendPostedEvents(&sink);
    }

    QTemporaryDir appDir_;
    QTemporaryDir systemDir_; // stands in for /etc/quillmark-erp
    QTemporaryDir cache_;
    TestServer server_{6868, ServiceAddress};
    std::mutex bodyMutex_;
    int status_ = 200;
    std::string body_;
};

int main(int argc, char** argv)
{
    PrepareHeadlessEngine();
    engine::PrepareEngineProcess({});
    QApplication app(argc, argv);
    UpdateCheckTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "UpdateCheckTest.moc"
