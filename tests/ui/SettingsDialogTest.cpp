// The settings dialog: the switches and the autostart entry stored on OK, nothing
// changed on cancel, one dialog at a time, and failures to store shown to the user.

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "core/DesktopEntry.h"
#include "platform/ProcessInfo.h"
#include "shared/Global.h"
#include "ui/FormSetting.h"
#include "ui/WindowLifeSupport.h"

using namespace testing_support;
using namespace window_life;

namespace {

// Nothing listens here; the dialog needs no service.
const QByteArray Config = "[SERVICE]\nHOST=127.62.8.1\n";

// While it lives, the calling thread obeys file modes even as root: the capabilities
// that override them are dropped from its effective set.
class ObeyFileModes {
public:
    ObeyFileModes()
    {
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        dropped_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~ObeyFileModes()
    {
        if (dropped_)
            ::syscall(SYS_capset, &header_, saved_);
    }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

using Switches = std::array<bool, 3>; // start at login, sound, balloon

Switches Shown(const TFormSetting& dialog)
{
    return {dialog.CheckBoxAutoStart->isChecked(), dialog.CheckBoxSoundHint->isChecked(),
            dialog.CheckBoxPopupHint->isChecked()};
}

Switches Stored()
{
    return {SystemSettings.AutoStart, SystemSettings.SoundHint, SystemSettings.PopupHint};
}

enum Failure { ReadOnlyDirectory, FileForDirectory, ReadOnlyConfig };

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TaskLog::Install(); }

    void init()
    {
        home_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", home_->path().toUtf8());
        window_ = std::make_unique<WindowUnderTest>(Config);
        window_->Open();
        QVERIFY(window_->Settle());
        boxes_ = std::make_unique<BoxWatcher>(QMessageBox::Ok);
    }

    void cleanup()
    {
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QFile::setPermissions(AutostartDir(), all);
        QFile::setPermissions(window_->ConfigPath(), all);
        boxes_.reset();
        window_.reset();
    }

    void okStoresTheSwitchesAndTheEntryCancelNothing()
    {
        QVERIFY(QDir().mkpath(AutostartDir()));
        WriteBytes(EntryPath(), "left from before");
        QVERIFY(RunDialog([&](TFormSetting& dialog) {
            // No switch in config.ini yet: the reminders on; the entry left there starts
            // nothing of ours.
            QCOMPARE(Shown(dialog), (Switches{false, true, true}));
            // Asked for again while open (a second --settings): no second dialog.
            window_->Form().NSettingClick();
            QCOMPARE(OpenDialogs(), 1);
            dialog.CheckBoxAutoStart->setChecked(false);
            dialog.CheckBoxSoundHint->setChecked(false);
            QTest::keyClick(&dialog, Qt::Key_Return);
        }));
        QCOMPARE(Stored(), (Switches{false, false, true}));
        QVERIFY(window_->Config().contains("AUTOSTART=0\nSOUNDHINT=0\nPOPUPHINT=1\n"));
        QVERIFY(!QFile::exists(EntryPath()));

        QVERIFY(RunDialog([&](TFormSetting& dialog) {
            QCOMPARE(Shown(dialog), (Switches{false, false, true}));
            dialog.CheckBoxAutoStart->setChecked(true);
            QTest::mouseClick(dialog.ButtonOK, Qt::LeftButton);
        }));
        QCOMPARE(Stored(), (Switches{true, false, true}));
        QVERIFY(window_->Config().contains("AUTOSTART=1\nSOUNDHINT=0\nPOPUPHINT=1\n"));
        const QByteArray entry = ReadBytes(EntryPath());
        QCOMPARE(entry.toStdString(),
                 core::AutostartDesktopEntry("QuillmarkERP", platform::ExecutablePath()));

        const QByteArray config = window_->Config();
        QVERIFY(RunDialog([&](TFormSetting& dialog) {
            QCOMPARE(Shown(dialog), (Switches{true, false, true}));
            for (QCheckBox* box :
                 {dialog.CheckBoxAutoStart, dialog.CheckBoxSoundHint, dialog.CheckBoxPopupHint})
                box->toggle();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        }));
        QCOMPARE(Stored(), (Switches{true, false, true}));
        QCOMPARE(window_->Config(), config);
        QCOMPARE(ReadBytes(EntryPath()), entry);
        QCOMPARE(boxes_->Seen().size(), 0);
    }

    void failuresAreShown_data()
    {
        QTest::addColumn<int>("failure");
        QTest::newRow("read-only autostart directory") << int(ReadOnlyDirectory);
        QTest::newRow("a file where the directory should be") << int(FileForDirectory);
        QTest::newRow("read-only config.ini") << int(ReadOnlyConfig);
    }

    void failuresAreShown()
    {
        QFETCH(int, failure);
        QString expected;
        if (failure == ReadOnlyDirectory) {
            QVERIFY(QDir().mkpath(AutostartDir()));
            QFile::setPermissions(AutostartDir(), QFile::ReadOwner | QFile::ExeOwner);
            expected = QStringLiteral("无法设置开机启动：无法写入 %1（没有权限）").arg(EntryPath());
        } else if (failure == FileForDirectory) {
            WriteBytes(AutostartDir(), "not a directory");
            expected =
                QStringLiteral("无法设置开机启动：无法创建文件夹 %1（路径上有一个同名的文件）")
                    .arg(AutostartDir());
        } else {
            QFile::setPermissions(window_->ConfigPath(), QFile::ReadOwner);
            expected = QStringLiteral("无法保存设置：无法写入 %1").arg(window_->ConfigPath());
        }
        SystemSettings = {true, true, true};
        {
            const ObeyFileModes modes;
            QFile probe(AutostartDir() + QStringLiteral("/probe"));
            if (failure == ReadOnlyDirectory && probe.open(QIODevice::WriteOnly))
                QSKIP("this process may write to read-only directories");
            QVERIFY(RunDialog([&](TFormSetting& dialog) {
                dialog.CheckBoxAutoStart->setChecked(true);
                dialog.CheckBoxPopupHint->setChecked(false);
                QTest::mouseClick(dialog.ButtonOK, Qt::LeftButton);
            }));
        }
        QCOMPARE(boxes_->Seen().size(), 1);
        QCOMPARE(boxes_->Seen().front().Text, expected);
        QCOMPARE(boxes_->Seen().front().Icon, QMessageBox::Warning);
        // What could be stored was stored; the switches hold for this session either way.
        QCOMPARE(Stored(), (Switches{true, true, false}));
        QCOMPARE(window_->Config().contains("POPUPHINT=0"), failure != ReadOnlyConfig);
        QCOMPARE(QFile::exists(EntryPath()), failure == ReadOnlyConfig);
    }

private:
    QString AutostartDir() const { return home_->filePath(QStringLiteral("autostart")); }
    QString EntryPath() const
    {
        return AutostartDir() + QStringLiteral("/BrowserQuillmark.desktop");
    }

    static int OpenDialogs() { return int(VisibleWindows<TFormSetting>().size()); }

    // The dialog as the tray menu's handler opens it; true when what `act` did closed it.
    bool RunDialog(const std::function<void(TFormSetting&)>& act)
    {
        return RunModal<TFormSetting>([this] { window_->Form().NSettingClick(); }, act) &&
               OpenDialogs() == 0;
    }

    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<WindowUnderTest> window_;
    std::unique_ptr<BoxWatcher> boxes_;
};

int main(int argc, char** argv)
{
    return RunWindowTest<SettingsDialogTest>(argc, argv);
}

#include "SettingsDialogTest.moc"
