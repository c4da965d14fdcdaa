#pragma once
// Modal message box captioned with the application title, its text shown as it is (never
// read as markup: much of it comes from pages). `flags` are the message-box flags the
// client uses: MB_OK, MB_OKCANCEL or MB_YESNO or'ed with an icon. MB_OK alone gets the
// information icon and MB_YESNO alone the question icon. Returns the id of the pressed
// button.
//
// Any thread may call it: from a worker the box is shown on the UI thread and the
// worker waits for the answer. Once EndMessageBoxes() has run it shows nothing and
// returns IDCANCEL.

#include <QPointer>
#include <QString>
#include <functional>

class QCheckBox;
class QLineEdit;
class QMessageBox;
class QWidget;

enum TMessageBoxFlags {
    MB_OK = 0,
    MB_OKCANCEL = 1,
    MB_YESNO = 4,
    MB_BUTTONMASK = 0x0F,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    // The client's two boxes: a question that only Yes lets through, and a warning.
    MB_CONFIRM = MB_YESNO | MB_ICONQUESTION,
    MB_WARNING = MB_OK | MB_ICONWARNING,
};

enum TMessageBoxResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

int AppMessageBox(const QString& text, int flags);

// The client ends: open dialogs close (as cancelled), workers waiting for a box get
// IDCANCEL, and no box is shown from now on. UI thread, after the event loop.
void EndMessageBoxes();
// Closes every open dialog as if cancelled, ending its nested loop. UI thread.
void CloseOpenDialogs();

// One box, for the UI thread, when AppMessageBox is not enough: a caption of its own, a
// check box, a text field, an owner of its own, or closing it from outside while it is
// open (a page that waited for it went away). `flags` are used as given, without
// AppMessageBox's adjustment. The box is modal to its owner (null: the owner of all boxes),
// so the tray menu keeps working while it is open.
class TAppMessageBox {
public:
    TAppMessageBox(const QString& text, int flags, QWidget* owner = nullptr);
    ~TAppMessageBox();
    TAppMessageBox(const TAppMessageBox&) = delete;
    TAppMessageBox& operator=(const TAppMessageBox&) = delete;

    // The application title unless set.
    void SetCaption(const QString& caption);
    // A check box under the text, not ticked.
    void AddCheckBox(const QString& label);
    // A text field under the text, holding `text`.
    void AddTextField(const QString& text);
    QString TextFieldText() const;
    // Shows the box and waits: the id of the pressed button; IDCANCEL when the box was
    // closed from outside or its owner went away.
    int Exec();
    bool CheckBoxTicked() const;
    // Closes the box if it is open; may be called after the box object is gone.
    std::function<void()> Closer() const;

private:
    QPointer<QMessageBox> box_;
    QPointer<QCheckBox> checkBox_;
    QPointer<QLineEdit> textField_;
};

// The owner of boxes shown by AppMessageBox (the main window once it exists).
void SetMessageBoxOwner(QWidget* owner);
// The caption of every box ("QuillmarkERP" once the main window exists).
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();
