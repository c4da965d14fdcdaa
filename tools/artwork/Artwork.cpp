#include "Artwork.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <cmath>
#include <numbers>

namespace artwork {
namespace {

constexpr int LoadingFrames = 15;
constexpr int LoadingDots = 8;

// Tab close button: a cross inside the 10 x 10 image. The strokes run through pixel
// centres so each arm has a solid one-pixel core at 1x, and they are one path so the
// crossing is not blended twice.
void DrawCross(QPainter& p, const QColor& color)
{
    QPainterPath cross;
    cross.moveTo(1.25, 1.25);
    cross.lineTo(7.75, 7.75);
    cross.moveTo(7.75, 1.25);
    cross.lineTo(1.25, 7.75);
    p.strokePath(cross, QPen(color, 1.5, Qt::SolidLine, Qt::FlatCap));
}

// The logo, designed on a 16-unit grid so it stays legible at 16 px: a teal rounded
// square with a white "Q" whose tail is a quill nib.
void DrawLogo(QPainter& p, int size)
{
    p.save();
    p.scale(size / 16.0, size / 16.0);

    QLinearGradient background(QPointF(0, 0), QPointF(16, 16));
    background.setColorAt(0, QColor(0x1f, 0x94, 0xa8));
    background.setColorAt(1, QColor(0x0b, 0x46, 0x66));
    p.setPen(Qt::NoPen);
    p.setBrush(background);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.5, 3.5);

    const QColor white(0xff, 0xff, 0xff);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(white, 2.0));
    p.drawEllipse(QPointF(7.4, 7.3), 3.9, 3.9);

    // The nib grows out of the ring's lower right and tapers to a point near the corner.
    QPainterPath nib;
    nib.moveTo(8.9, 10.9);
    nib.quadTo(11.4, 11.6, 13.6, 13.6);
    nib.quadTo(11.6, 11.4, 10.9, 8.9);
    nib.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawPath(nib);
    p.restore();
}

// The two frames a tray icon blinks with while notifications are unread: the logo with
// an orange dot in its upper right corner, and the logo faded without it.
void DrawTrayUnread(QPainter& p, int frame)
{
    if (frame == 1) {
        p.setOpacity(0.45);
        DrawLogo(p, 16);
        return;
    }
    DrawLogo(p, 16);
    p.setPen(QPen(QColor(0xff, 0xff, 0xff), 1.0));
    p.setBrush(QColor(0xf0, 0x7a, 0x1a));
    p.drawEllipse(QPointF(12.5, 3.5), 3.0, 3.0);
}

// How many dots frame `frame` shows and where the run of dots ends. The ring first loses
// dots from its tail down to one, then grows again from its head; the head moves on by one
// position per frame while growing, so the last frame leads into the first as one more step
// of the same turn.
struct DotRun {
    int head;
    int count;
};

DotRun LoadingRun(int frame)
{
    const int emptying = LoadingDots - 1;
    if (frame <= emptying)
        return {emptying, LoadingDots - frame};
    const int grown = frame - emptying;
    return {emptying + grown, 1 + grown};
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    const auto mix = [t](float from, float to) { return float(from + (to - from) * t); };
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()),
                            mix(a.blueF(), b.blueF()));
}

// Eight dots on a ring, clockwise from twelve o'clock; the head of the run is the
// strongest green and the dots behind it fade.
void DrawLoadingFrame(QPainter& p, int frame)
{
    const QColor head(0x1a, 0x9a, 0x3a);
    const QColor tail(0xa6, 0xdc, 0xb2);
    const QPointF centre(8, 8);
    const double ringRadius = 5.5;

    const DotRun run = LoadingRun(frame);
    p.setPen(Qt::NoPen);
    for (int behind = 0; behind < run.count; ++behind) {
        const int position = (run.head - behind) % LoadingDots;
        const double angle = 2 * std::numbers::pi * position / LoadingDots;
        const QPointF dot(centre.x() + ringRadius * std::sin(angle),
                          centre.y() - ringRadius * std::cos(angle));
        const double fade = behind / double(LoadingDots - 1);
        p.setBrush(Mix(head, tail, fade));
        p.drawEllipse(dot, 1.75 - 0.4 * fade, 1.75 - 0.4 * fade);
    }
}

} // namespace

std::vector<ImageSpec> AllImages()
{
    std::vector<ImageSpec> images{
        {"TabCloseNormal", 10, [](QPainter& p) { DrawCross(p, QColor(0xb4, 0xb4, 0xb4)); }},
        {"TabCloseMove", 10, [](QPainter& p) { DrawCross(p, QColor(0x60, 0x60, 0x60)); }},
        {"FavIconNew", 16, [](QPainter& p) { DrawLogo(p, 16); }},
        {"AppIcon", 64, [](QPainter& p) { DrawLogo(p, 64); }},
        {"AppIcon256", 256, [](QPainter& p) { DrawLogo(p, 256); }},
        {"TrayUnread0", 16, [](QPainter& p) { DrawTrayUnread(p, 0); }},
        {"TrayUnread1", 16, [](QPainter& p) { DrawTrayUnread(p, 1); }},
    };
    for (int frame = 0; frame < LoadingFrames; ++frame)
        images.push_back({QStringLiteral("PngImage%1").arg(frame), 16,
                          [frame](QPainter& p) { DrawLoadingFrame(p, frame); }});
    return images;
}

QImage RenderAppIcon(int size)
{
    return Render({QStringLiteral("AppIcon"), size, [size](QPainter& p) { DrawLogo(p, size); }}, 1);
}

QByteArray AppIconSvg(int size)
{
    QByteArray svg;
    QBuffer buffer(&svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(size, size));
    generator.setViewBox(QRect(0, 0, size, size));
    generator.setTitle(QStringLiteral("QuillmarkERP"));
    QPainter painter(&generator);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawLogo(painter, size);
    painter.end();
    return svg;
}

QImage Render(const ImageSpec& art, int scale)
{
    QImage image(art.size * scale, art.size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    art.draw(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace artwork
