#include "engine/EngineDialog.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

namespace engine {
namespace {

TEngineDialogShow& ClientShow()
{
    static TEngineDialogShow show;
    return show;
}

QString Caption(const QUrl& pageUrl)
{
    const QString host = pageUrl.host();
    return host.isEmpty() ? QStringLiteral("网页消息")
                          : QStringLiteral("来自 %1 的网页消息").arg(host);
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

void SetEngineDialogShow(TEngineDialogShow show)
{
    ClientShow() = std::move(show);
}

bool RunEngineDialog(QWidget* view, TJsDialogType type, const QUrl& pageUrl, const QString& message,
                     const QString& defaultText, QString* input)
{
    const QString caption = Caption(pageUrl);
    if (ClientShow())
        return ClientShow()(view, type, caption, message, defaultText, input);
    if (type == JSDIALOGTYPE_PROMPT) {
        auto* dialog = new QInputDialog(view);
        dialog->setWindowTitle(caption);
        dialog->setLabelText(message);
        if (auto* label = dialog->findChild<QLabel*>())
            label->setTextFormat(Qt::PlainText);
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
