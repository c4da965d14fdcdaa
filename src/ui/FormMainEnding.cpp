// Ending the client from outside: a termination signal or the end of the desktop session
// ends it as "退出" answered with Yes does, without asking.

#include <QLoggingCategory>

#include "ui/AppMessageBox.h"
#include "ui/FormMain.h"

Q_LOGGING_CATEGORY(lcEnding, "quillmark.ui.ending")

void TFormMain::EndWithoutAsking(const QString& reason)
{
    if (closeAccepted_) {
        qCInfo(lcEnding) << reason << "while the client is already ending";
        return;
    }
    qCInfo(lcEnding) << reason << "- ending the client";
    ExitRequested = true;
    ConfirmExit = false;
    Closing = true;
    // An open box keeps its nested loop running; the exit question among them then lets
    // its own close request through, since exit no longer needs asking.
    CloseOpenDialogs();
    close();
}
