#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class QPainter;

namespace artwork {

// One image of the set. `draw` paints it in logical pixels on a canvas of `size` x `size`;
// the painter is already scaled for the variant being rendered.
struct ImageSpec {
    QString name;
    int size;
    std::function<void(QPainter&)> draw;
};

// Every image the client uses, in the order they are written.
std::vector<ImageSpec> AllImages();

// Draws `art` at `scale` device pixels per logical pixel (1, or 2 for the @2x variant).
QImage Render(const ImageSpec& art, int scale);

// The application icon for the desktop's icon theme: the logo at `size` pixels.
QImage RenderAppIcon(int size);
// The logo as scalable vector graphics, `size` units square.
QByteArray AppIconSvg(int size);

} // namespace artwork
