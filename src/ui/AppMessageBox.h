#pragma once
// Modal message box captioned with the application title. `flags` are message-box
// flags as the client has always used them: buttons in the low four bits (0 OK,
// 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), icon in
// the next four (16 stop, 32 question, 48 warning, 64 information). Flags 0 get the
// information icon and a bare button set 1..5 the question icon. Returns the id of the
// pressed button (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).
//
// Any thread may call it: from a worker the box is shown on the UI thread and the
// worker waits for the answer.

#include <QString>

class QWidget;

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
