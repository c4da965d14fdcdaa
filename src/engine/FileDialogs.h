#pragma once
// The file dialogs the engine layer shows. UI thread only.

#include <QString>

class QFileDialog;
class QWidget;

namespace engine {

// A save dialog proposing `proposedPath`, owned by `parent`. It tells files apart by their
// names only and never reads them, so a directory holding pipes or device files (a last
// visit to /proc, say) cannot hang it the way Qt's own content sniffing does.
QFileDialog* NewSaveFileDialog(QWidget* parent, const QString& proposedPath);

} // namespace engine
