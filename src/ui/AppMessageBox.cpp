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
    if (flags == MB_OK)
        return MB_ICONINFORMATION;
    if (flags >= MB_OKCANCEL && flags <= MB_RETRYCANCEL)
        return flags | MB_ICONQUESTION;
    return flags;
}

QMessageBox::StandardButtons ButtonsOf(int flags)
{
    switch (flags & MB_BUTTONMASK) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_ABORTRETRYIGNORE:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    case MB_RETRYCANCEL:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(int flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
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
    // On the heap: the owner may be destroyed while the box is open, taking it along.
    QPointer<QMessageBox> box =
        new QMessageBox(IconOf(flags), ApplicationTitle(), text, ButtonsOf(flags), boxOwner);
    box->setWindowModality(Qt::ApplicationModal);
    const int pressed = box->exec();
    if (!box)
        return IDCANCEL;
    delete box.data();
    return ResultOf(QMessageBox::StandardButton(pressed));
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
