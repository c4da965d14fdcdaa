#include "ui/ScreenPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

QRect WorkArea()
{
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

void PlaceCentred(QWidget& window)
{
    QRect placed(QPoint(), window.size());
    placed.moveCenter(WorkArea().center());
    window.move(placed.topLeft());
}

void PlaceAtTopLeft(QWidget& window)
{
    window.move(WorkArea().topLeft());
}
