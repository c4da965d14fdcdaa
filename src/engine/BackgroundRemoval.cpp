#include "engine/BackgroundRemoval.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QUuid>

#include "core/CommonThread.h"

namespace engine {

void EmptyDirectoryInBackground(const QString& directory)
{
    const QFileInfo place(QDir(directory).absolutePath());
    const QString aside = QStringLiteral(".old-");
    QDir().rename(place.filePath(),
                  place.filePath() + aside + QUuid::createUuid().toString(QUuid::WithoutBraces));
    QDir().mkpath(place.filePath());
    core::RunOnceInBackground([parent = place.path(), pattern = place.fileName() + aside + '*'] {
        const QDir dir(parent);
        for (const QString& name :
             dir.entryList({pattern}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
            QDir(dir.filePath(name)).removeRecursively();
    });
}

} // namespace engine
