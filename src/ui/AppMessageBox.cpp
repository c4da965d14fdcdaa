#include "ui/AppMessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
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
    switch (flags & MB_BUTTONMASK) {
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

// QMessageBox lays itself out anew whenever a part is added (a check box), so the field
// goes in last, just before the box shows: a row of its own under the text and the check
// box, above the buttons. The box sizes itself to its layout when shown.
void PlaceTextField(QMessageBox* box, QLineEdit* field)
{
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    auto* text = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* buttons = box->findChild<QDialogButtonBox*>(QStringLiteral("qt_msgbox_buttonbox"));
    if (!grid || !text || !buttons) {
        box->layout()->addWidget(field);
        return;
    }
    int textRow = 0, textColumn = 0, buttonsRow = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(text), &textRow, &textColumn, &rowSpan, &columnSpan);
    grid->getItemPosition(grid->indexOf(buttons), &buttonsRow, &column, &rowSpan, &columnSpan);
    grid->removeWidget(buttons);
    grid->addWidget(field, buttonsRow, textColumn);
    grid->addWidget(buttons, buttonsRow + 1, column, rowSpan, columnSpan);
    field->setFocus();
    field->selectAll();
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

TAppMessageBox::TAppMessageBox(const QString& text, int flags, QWidget* owner)
    // On the heap: the owner may be destroyed while the box is open, taking it along.
    : box_(new QMessageBox(IconOf(flags), ApplicationTitle(), QString(), ButtonsOf(flags),
                           owner ? owner : boxOwner.data()))
{
    box_->setTextFormat(Qt::PlainText);
    box_->setText(text);
    box_->setWindowModality(box_->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
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

void TAppMessageBox::AddTextField(const QString& text)
{
    if (box_)
        textField_ = new QLineEdit(text, box_);
}

QString TAppMessageBox::TextFieldText() const
{
    return textField_ ? textField_->text() : QString();
}

int TAppMessageBox::Exec()
{
    if (!box_)
        return IDCANCEL;
    if (textField_)
        PlaceTextField(box_, textField_);
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
