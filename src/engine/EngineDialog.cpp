#include "engine/EngineDialog.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

namespace engine {
namespace {

QString Caption(TJsDialogType type, const QUrl& pageUrl)
{
    const char* kind = type == JSDIALOGTYPE_ALERT     ? "Alert"
                       : type == JSDIALOGTYPE_CONFIRM ? "Confirm"
                                                      : "Prompt";
    return QStringLiteral("Javascript %1 - %2").arg(QLatin1String(kind), pageUrl.toString());
}

// Runs `dialog` (made on the heap, a child of the view) and deletes it; the view may take
// it along while it is open.
template <class Dialog> bool Run(Dialog* made, const std::function<void(Dialog&)>& accepted)
{
    QPointer<Dialog> dialog = made;
    dialog->setWindowModality(Qt::WindowModal);
    const int result = dialog->exec();
    if (!dialog)
        return false;
    const bool ok = result == QDialog::Accepted || result == QMessageBox::Ok;
    if (ok && accepted)
        accepted(*dialog);
    delete dialog.data();
    return ok;
}

} // namespace

bool RunEngineDialog(QWidget* view, TJsDialogType type, const QUrl& pageUrl, const QString& message,
                     const QString& defaultText, QString* input)
{
    const QString caption = Caption(type, pageUrl);
    if (type == JSDIALOGTYPE_PROMPT) {
        auto* dialog = new QInputDialog(view);
        dialog->setWindowTitle(caption);
        dialog->setLabelText(message);
        dialog->setTextValue(defaultText);
        return Run<QInputDialog>(dialog, [input](QInputDialog& d) {
            if (input)
                *input = d.textValue();
        });
    }
    const auto buttons =
        type == JSDIALOGTYPE_CONFIRM ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
    auto* box = new QMessageBox(QMessageBox::Information, caption, message, buttons, view);
    box->setTextFormat(Qt::PlainText);
    return Run<QMessageBox>(box, nullptr);
}

} // namespace engine
