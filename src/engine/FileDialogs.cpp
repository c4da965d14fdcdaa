#include "engine/FileDialogs.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>

namespace engine {
namespace {

class NameOnlyIconProvider : public QFileIconProvider {
public:
    QIcon icon(const QFileInfo& info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QFileIconProvider::type(info);
        return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }
};

} // namespace

QFileDialog* NewSaveFileDialog(QWidget* parent, const QString& proposedPath)
{
    static NameOnlyIconProvider iconProvider;
    auto* dialog = new QFileDialog(parent, QString(), proposedPath);
    dialog->setIconProvider(&iconProvider);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    return dialog;
}

} // namespace engine
