#include "ui/AppMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

namespace {

QPointer<QWidget> boxOwner;
QString applicationTitle;

int AdjustFlags(int flags)
{
    if (flags == 0)
        return 64;
    if (flags >= 1 && flags <= 5)
        return flags | 32;
    return flags;
}

QMessageBox::StandardButtons ButtonsOf(int flags)
{
    switch (flags & 0x0F) {
    case 1:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case 2:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case 3:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4:
        return QMessageBox::Yes | QMessageBox::No;
    case 5:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(int flags)
{
    switch (flags & 0xF0) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ResultOf(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

int ShowBox(const QString& text, int flags)
{
    flags = AdjustFlags(flags);
    QMessageBox box(IconOf(flags), ApplicationTitle(), text, ButtonsOf(flags), boxOwner);
    box.setWindowModality(Qt::ApplicationModal);
    return ResultOf(QMessageBox::StandardButton(box.exec()));
}

} // namespace

void SetMessageBoxOwner(QWidget* owner)
{
    boxOwner = owner;
}

void SetApplicationTitle(const QString& title)
{
    applicationTitle = title;
}

QString ApplicationTitle()
{
    return applicationTitle.isEmpty() ? QCoreApplication::applicationName() : applicationTitle;
}

int AppMessageBox(const QString& text, int flags)
{
    if (QThread::currentThread() == qApp->thread())
        return ShowBox(text, flags);
    int result = IDCANCEL;
    QMetaObject::invokeMethod(
        qApp, [&] { result = ShowBox(text, flags); }, Qt::BlockingQueuedConnection);
    return result;
}
