#include "ui/AppMessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

namespace {

QPointer<QWidget> boxOwner;
QString applicationTitle;

// Whether boxes are still shown, and the answers workers wait for: once the client has
// ended, no box is shown any more and waiting workers are let go with IDCANCEL.
std::mutex workerBoxesMutex;
std::condition_variable workerBoxesChanged;
bool boxesEnded = false;

int AdjustFlags(int flags)
{
    if (flags == MB_OK)
        return MB_ICONINFORMATION;
    if (flags == MB_YESNO)
        return MB_CONFIRM;
    return flags;
}

QMessageBox::StandardButtons ButtonsOf(int flags)
{
    return (flags & MB_BUTTONMASK) == MB_YESNO ? QMessageBox::Yes | QMessageBox::No
                                               : QMessageBox::Ok;
}

QMessageBox::Icon IconOf(int flags)
{
    switch (flags & MB_ICONMASK) {
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

// What the window frame's title bar takes beside the title: its icon and buttons.
constexpr int TitleBarRoom = 150;

// A box with little text is narrower than its title, which the frame would then cut.
// Added when shown: the box makes its layout anew when parts are added.
void FitTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + TitleBarRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

int ResultOf(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
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

namespace {

bool MessageBoxesEnded()
{
    std::lock_guard lock(workerBoxesMutex);
    return boxesEnded;
}

} // namespace

void EndMessageBoxes()
{
    {
        std::lock_guard lock(workerBoxesMutex);
        boxesEnded = true;
    }
    workerBoxesChanged.notify_all();
    CloseOpenDialogs();
}

void CloseOpenDialogs()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
            dialog->reject();
}

int AppMessageBox(const QString& text, int flags)
{
    if (MessageBoxesEnded())
        return IDCANCEL;
    if (QThread::currentThread() == qApp->thread())
        return TAppMessageBox(text, AdjustFlags(flags)).Exec();
    // Not a blocking call into the UI thread: that would stall the worker, and whoever
    // joins it, once the event loop has ended.
    auto answer = std::make_shared<std::optional<int>>();
    QMetaObject::invokeMethod(qApp, [answer, text, flags] {
        if (MessageBoxesEnded())
            return;
        const int pressed = TAppMessageBox(text, AdjustFlags(flags)).Exec();
        {
            std::lock_guard lock(workerBoxesMutex);
            *answer = pressed;
        }
        workerBoxesChanged.notify_all();
    });
    std::unique_lock lock(workerBoxesMutex);
    workerBoxesChanged.wait(lock, [&] { return answer->has_value() || boxesEnded; });
    return answer->value_or(IDCANCEL);
}

TAppMessageBox::TAppMessageBox(const QString& text, int flags)
    // On the heap: the owner may be destroyed while the box is open, taking it along.
    : box_(new QMessageBox(IconOf(flags), ApplicationTitle(), text, ButtonsOf(flags), boxOwner))
{
    box_->setWindowModality(boxOwner ? Qt::WindowModal : Qt::ApplicationModal);
}

TAppMessageBox::~TAppMessageBox()
{
    delete box_.data();
}

void TAppMessageBox::SetCaption(const QString& caption)
{
    if (box_)
        box_->setWindowTitle(caption);
}

void TAppMessageBox::AddCheckBox(const QString& label)
{
    if (!box_)
        return;
    checkBox_ = new QCheckBox(label);
    box_->setCheckBox(checkBox_);
}

int TAppMessageBox::Exec()
{
    if (!box_)
        return IDCANCEL;
    FitTitle(*box_);
    const int pressed = box_->exec();
    return box_ ? ResultOf(QMessageBox::StandardButton(pressed)) : IDCANCEL;
}

bool TAppMessageBox::CheckBoxTicked() const
{
    return checkBox_ && checkBox_->isChecked();
}

std::function<void()> TAppMessageBox::Closer() const
{
    return [box = box_] {
        if (box)
            box->reject();
    };
}
