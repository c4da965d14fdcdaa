// Writes the client's PNG artwork, each image at 1x and @2x, into the given directory.
#include "Artwork.h"

#include <QDir>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (const auto& art : artwork::AllImages()) {
        for (int scale : {1, 2}) {
            const QString file = art.name + (scale == 2 ? "@2x.png" : ".png");
            const QString path = dir.filePath(file);
            if (!artwork::Render(art, scale).save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            std::printf("%s\n", qPrintable(path));
        }
    }
    return 0;
}
