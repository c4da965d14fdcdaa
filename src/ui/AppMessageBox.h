#pragma once
// Modal message box captioned with the application title. `flags` are message-box
// flags as the client has always used them: one button set (MB_OK ... MB_RETRYCANCEL)
// or'ed with one icon (MB_ICONSTOP ... MB_ICONINFORMATION). Flags 0 get the information
// icon and a bare button set other than MB_OK the question icon. Returns the id of the
// pressed button.
//
// Any thread may call it: from a worker the box is shown on the UI thread and the
// worker waits for the answer.

#include <QString>

class QWidget;

enum TMessageBoxFlags {
    MB_OK = 0,
    MB_OKCANCEL = 1,
    MB_ABORTRETRYIGNORE = 2,
    MB_YESNOCANCEL = 3,
    MB_YESNO = 4,
    MB_RETRYCANCEL = 5,
    MB_BUTTONMASK = 0x0F,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    // The client's two boxes: a question that only Yes lets through, and a warning.
    MB_CONFIRM = MB_YESNO | MB_ICONQUESTION,
    MB_WARNING = MB_OK | MB_ICONWARNING,
};

enum TMessageBoxResult {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7
};

int AppMessageBox(const QString& text, int flags);

// The owner of boxes shown by AppMessageBox (the main window once it exists).
void SetMessageBoxOwner(QWidget* owner);
// The caption of every box ("QuillmarkERP" once the main window exists).
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();
