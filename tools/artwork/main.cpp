// Writes the client's PNG artwork, each image at 1x and @2x, into the given directory;
// with --desktop-icons, the application icon in the layout of a hicolor icon theme.
#include "Artwork.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace {

// The sizes a desktop's menus and docks ask the hicolor theme for.
constexpr int DesktopIconSizes[] = {16, 32, 48, 64, 128, 256};
constexpr char IconName[] = "quillmark-erp";

bool MakeDirectory(const QDir& dir)
{
    if (dir.exists() || QDir().mkpath(dir.path()))
        return true;
    std::fprintf(stderr, "cannot create %s\n", qPrintable(dir.path()));
    return false;
}

bool Written(bool ok, const QString& path)
{
    if (ok)
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return ok;
}

int WriteImages(const QDir& dir)
{
    for (const auto& art : artwork::AllImages()) {
        for (int scale : {1, 2}) {
            const QString path = dir.filePath(art.name + (scale == 2 ? "@2x.png" : ".png"));
            if (!Written(artwork::Render(art, scale).save(path, "PNG"), path))
                return 1;
        }
    }
    return 0;
}

int WriteDesktopIcons(const QDir& hicolor)
{
    for (int size : DesktopIconSizes) {
        const QDir apps(hicolor.filePath(QStringLiteral("%1x%1/apps").arg(size)));
        if (!MakeDirectory(apps))
            return 1;
        const QString path = apps.filePath(QStringLiteral("%1.png").arg(IconName));
        if (!Written(artwork::RenderAppIcon(size).save(path, "PNG"), path))
            return 1;
    }
    const QDir scalable(hicolor.filePath(QStringLiteral("scalable/apps")));
    if (!MakeDirectory(scalable))
        return 1;
    QFile svg(scalable.filePath(QStringLiteral("%1.svg").arg(IconName)));
    const QByteArray text = artwork::AppIconSvg(256);
    return Written(svg.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       svg.write(text) == text.size(),
                   svg.fileName())
               ? 0
               : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const bool icons = argc == 3 && std::strcmp(argv[1], "--desktop-icons") == 0;
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n       %s --desktop-icons HICOLOR_DIR\n",
                     argv[0], argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[argc - 1]));
    if (!MakeDirectory(dir))
        return 1;
    return icons ? WriteDesktopIcons(dir) : WriteImages(dir);
}
