#include "ui/FormSetting.h"

#include <QCheckBox>
#include <QPushButton>
#include <QStringList>

#include "platform/Autostart.h"
#include "platform/ProcessInfo.h"
#include "shared/Global.h"
#include "shared/ZphConst.h"
#include "ui/AppMessageBox.h"
#include "ui/ScreenPlacement.h"

namespace {

QString ReasonOf(const std::error_code& error)
{
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
        return QStringLiteral("没有权限");
    if (error == std::errc::read_only_file_system)
        return QStringLiteral("文件系统是只读的");
    if (error == std::errc::not_a_directory || error == std::errc::file_exists)
        return QStringLiteral("路径上有一个同名的文件");
    if (error == std::errc::is_a_directory)
        return QStringLiteral("同名的文件夹已存在");
    if (error == std::errc::no_space_on_device)
        return QStringLiteral("磁盘空间不足");
    if (error == std::errc::illegal_byte_sequence)
        return QStringLiteral("程序的路径含有无法写入启动项的字符");
    return QString::fromLocal8Bit(error.message());
}

QString DescribeFailure(const platform::AutostartFailure& failure)
{
    const QString path = QString::fromStdString(failure.Path);
    QString step;
    switch (failure.What) {
    case platform::AutostartFailure::Step::FindConfigDirectory:
        return QStringLiteral("找不到用户的主文件夹");
    case platform::AutostartFailure::Step::CreateDirectory:
        step = QStringLiteral("无法创建文件夹 %1").arg(path);
        break;
    case platform::AutostartFailure::Step::WriteEntry:
        step = QStringLiteral("无法写入 %1").arg(path);
        break;
    case platform::AutostartFailure::Step::RemoveEntry:
        step = QStringLiteral("无法删除 %1").arg(path);
        break;
    }
    return QStringLiteral("%1（%2）").arg(step, ReasonOf(failure.Error));
}

} // namespace

TFormSetting::TFormSetting(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("设置"));
    setFixedSize(288, 131);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    CheckBoxAutoStart = new QCheckBox(QStringLiteral("开机启动"), this);
    CheckBoxAutoStart->setGeometry(25, 24, 75, 17);
    CheckBoxSoundHint = new QCheckBox(QStringLiteral("声音提醒"), this);
    CheckBoxSoundHint->setGeometry(106, 24, 75, 17);
    CheckBoxPopupHint = new QCheckBox(QStringLiteral("气泡提醒"), this);
    CheckBoxPopupHint->setGeometry(187, 24, 75, 17);
    ButtonOK = new QPushButton(QStringLiteral("确定"), this);
    ButtonOK->setGeometry(66, 80, 75, 25);
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
    ButtonCancel->setGeometry(147, 80, 75, 25);
    connect(ButtonOK, &QPushButton::clicked, this, &TFormSetting::ButtonOKClick);
    // Esc rejects the dialog too, as the cancel button does.
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    PlaceCentred(*this);
    FormCreate();
}

void TFormSetting::FormCreate()
{
    // What the desktop will do, not what config.ini says was asked for.
    CheckBoxAutoStart->setChecked(
        platform::AutostartEntryStarts(zph::InstanceName, platform::ExecutablePath()));
    CheckBoxSoundHint->setChecked(SystemSettings.SoundHint);
    CheckBoxPopupHint->setChecked(SystemSettings.PopupHint);
}

void TFormSetting::ButtonOKClick()
{
    SystemSettings.AutoStart = CheckBoxAutoStart->isChecked();
    SystemSettings.SoundHint = CheckBoxSoundHint->isChecked();
    SystemSettings.PopupHint = CheckBoxPopupHint->isChecked();

    QStringList failures;
    core::IniFile ini = ConfigFile();
    bool stored = true;
    for (const auto& [key, on] : {std::pair{"AUTOSTART", SystemSettings.AutoStart},
                                  std::pair{"SOUNDHINT", SystemSettings.SoundHint},
                                  std::pair{"POPUPHINT", SystemSettings.PopupHint}})
        stored = ini.WriteString("SYSTEM", key, on ? "1" : "0") && stored;
    if (!stored)
        failures << QStringLiteral("无法保存设置：无法写入 %1").arg(ConfigPath());
    if (const QString failure = SetAutoStart(SystemSettings.AutoStart); !failure.isEmpty())
        failures << QStringLiteral("无法设置开机启动：%1").arg(failure);
    if (!failures.isEmpty())
        AppMessageBox(failures.join(QLatin1Char('\n')), MB_WARNING);
    accept();
}

QString TFormSetting::SetAutoStart(bool enable)
{
    const auto failure = platform::SetAutostartEntry(zph::InstanceName, zph::AppTitle,
                                                     platform::ExecutablePath(), enable);
    return failure ? DescribeFailure(*failure) : QString();
}
