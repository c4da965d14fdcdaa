// AppMessageBox: flags to icon and buttons, the returned ids, the caption, Qt's Chinese
// button texts, and boxes asked for by worker threads.

#include <QApplication>
#include <QTest>
#include <atomic>
#include <map>
#include <thread>

#include "support/TestHelpers.h"
#include "ui/AppMessageBox.h"
#include "ui/WindowLifeSupport.h"

using namespace testing_support;
using namespace window_life;

namespace {

// Nothing listens here: the window's update check fails quietly.
const QByteArray Service = "[SERVICE]\nHOST=127.62.3.1\n";

using Buttons = QMessageBox::StandardButtons;

} // namespace

class AppMessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TaskLog::Install(); }

    // Runs first: the caption before and after the main window exists. The window stays
    // for the later tests, as it does in the client.
    void captionIsTheApplicationTitleOnceTheWindowExists()
    {
        {
            BoxWatcher watcher(QMessageBox::Ok);
            QCOMPARE(AppMessageBox(QStringLiteral("before"), 0), int(IDOK));
            QCOMPARE(watcher.Seen().size(), 1);
            QCOMPARE(watcher.Seen()[0].Title, QCoreApplication::applicationName());
        }
        window_ = std::make_unique<WindowUnderTest>(Service);
        window_->Open();
        QVERIFY(window_->Settle());
        BoxWatcher watcher(QMessageBox::Ok);
        QCOMPARE(AppMessageBox(QStringLiteral("after"), 0), int(IDOK));
        QCOMPARE(watcher.Seen().size(), 1);
        QCOMPARE(watcher.Seen()[0].Title, QStringLiteral("QuillmarkERP"));
        // Text this short leaves the frame's title bar room for the whole title.
        QVERIFY(watcher.Seen()[0].Width >
                QFontMetrics(QApplication::font()).horizontalAdvance("QuillmarkERP") + 140);
    }

    void flags_data()
    {
        QTest::addColumn<int>("flags");
        // NoButton: the box is closed with the frame's close button, as with Esc.
        QTest::addColumn<QMessageBox::StandardButton>("press");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<int>("result");

        const Buttons yesNo = QMessageBox::Yes | QMessageBox::No;
        // clang-format off
        QTest::newRow("0: information, OK")        << 0  << QMessageBox::Ok     << QMessageBox::Information << Buttons(QMessageBox::Ok) << 1;
        QTest::newRow("0 closed: OK")              << 0  << QMessageBox::NoButton << QMessageBox::Information << Buttons(QMessageBox::Ok) << 1;
        QTest::newRow("4: question, Yes")          << 4  << QMessageBox::Yes    << QMessageBox::Question << yesNo << 6;
        QTest::newRow("4: question, No")           << 4  << QMessageBox::No     << QMessageBox::Question << yesNo << 7;
        QTest::newRow("36 unchanged, Yes")         << 36 << QMessageBox::Yes    << QMessageBox::Question << yesNo << 6;
        QTest::newRow("36 closed: No")             << 36 << QMessageBox::NoButton << QMessageBox::Question << yesNo << 7;
        QTest::newRow("48: warning, OK")           << 48 << QMessageBox::Ok     << QMessageBox::Warning << Buttons(QMessageBox::Ok) << 1;
        QTest::newRow("64: information, OK")       << 64 << QMessageBox::Ok     << QMessageBox::Information << Buttons(QMessageBox::Ok) << 1;
        // clang-format on
    }

    void flags()
    {
        QFETCH(int, flags);
        QFETCH(QMessageBox::StandardButton, press);
        QFETCH(int, result);

        BoxWatcher watcher;
        watcher.Plan(press);
        QCOMPARE(AppMessageBox(QStringLiteral("保存失败！"), flags), result);
        QCOMPARE(watcher.Seen().size(), 1);
        const SeenBox& box = watcher.Seen()[0];
        QCOMPARE(box.Text, QStringLiteral("保存失败！"));
        QCOMPARE(box.Title, QStringLiteral("QuillmarkERP"));
        QTEST(box.Icon, "icon");
        QTEST(box.Buttons, "buttons");
    }

    void buttonsReadInChinese()
    {
        BoxWatcher watcher;
        watcher.Plan(QMessageBox::No);
        watcher.Plan(QMessageBox::Ok);
        AppMessageBox(QStringLiteral("确定要退出吗？"), 36);
        AppMessageBox(QStringLiteral("保存失败！"), 48);
        QCOMPARE(watcher.Seen().size(), 2);
        // Yes before No; Qt adds the keyboard hint, "是(&Y)" and "否(&N)".
        const QStringList yesNo = watcher.Seen()[0].ButtonTexts;
        QCOMPARE(yesNo.size(), 2);
        QVERIFY2(yesNo[0].startsWith(QStringLiteral("是")), qPrintable(yesNo[0]));
        QVERIFY2(yesNo[1].startsWith(QStringLiteral("否")), qPrintable(yesNo[1]));
        QCOMPARE(watcher.Seen()[1].ButtonTexts, QStringList{QStringLiteral("确定")});
    }

    void fromWorkerThread_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("press");
        QTest::addColumn<int>("result");
        QTest::newRow("Yes") << QMessageBox::Yes << 6;
        QTest::newRow("No") << QMessageBox::No << 7;
    }

    void fromWorkerThread()
    {
        QFETCH(QMessageBox::StandardButton, press);
        QFETCH(int, result);

        BoxWatcher watcher;
        watcher.Plan(press);
        std::atomic<int> answer{0};
        std::thread worker([&] { answer = AppMessageBox(QStringLiteral("发现新版本"), 36); });
        const bool answered = WaitFor([&] { return answer != 0; });
        worker.join();
        QVERIFY(answered);
        QCOMPARE(answer.load(), result);
        QCOMPARE(watcher.Seen().size(), 1);
        QCOMPARE(watcher.Seen()[0].Text, QStringLiteral("发现新版本"));
        QVERIFY(watcher.Seen()[0].OnUiThread);
    }

    void twoWorkersEachGetTheirOwnAnswer()
    {
        BoxWatcher watcher;
        watcher.Plan(QMessageBox::Yes);
        watcher.Plan(QMessageBox::No);
        std::atomic<int> first{0}, second{0};
        std::thread a([&] { first = AppMessageBox(QStringLiteral("甲"), 36); });
        std::thread b([&] { second = AppMessageBox(QStringLiteral("乙"), 36); });
        const bool answered = WaitFor([&] { return first != 0 && second != 0; });
        a.join();
        b.join();
        QVERIFY(answered);
        QCOMPARE(watcher.Seen().size(), 2);
        // Whichever box came first got Yes.
        const std::map<QString, int> given = {{watcher.Seen()[0].Text, IDYES},
                                              {watcher.Seen()[1].Text, IDNO}};
        QVERIFY(given.count(QStringLiteral("甲")) == 1 && given.count(QStringLiteral("乙")) == 1);
        QCOMPARE(first.load(), given.at(QStringLiteral("甲")));
        QCOMPARE(second.load(), given.at(QStringLiteral("乙")));
    }

    void cleanupTestCase() { window_.reset(); }

private:
    std::unique_ptr<WindowUnderTest> window_;
};

int main(int argc, char** argv)
{
    return RunWindowTest<AppMessageBoxTest>(argc, argv);
}

#include "AppMessageBoxTest.moc"
