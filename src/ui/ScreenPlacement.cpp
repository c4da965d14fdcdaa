#include "ui/ScreenPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

// About a title bar's height: each window's title stays in sight below the last one's.
constexpr int CascadeStep = 30;
constexpr int MinCascadeSteps = 5;
// Enough of a window to grab it by its title and drag it back.
constexpr int GraspableSize = 50;

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

void PlaceCascaded(QWidget& window, const QWidget* previous)
{
    const QRect area = WorkArea();
    if (!previous) {
        window.move(area.topLeft());
        return;
    }
    // A window larger than the work area still cascades a few steps before it wraps.
    const QSize frame = window.frameGeometry().size();
    const QSize room(std::max(area.width() - frame.width(), MinCascadeSteps * CascadeStep),
                     std::max(area.height() - frame.height(), MinCascadeSteps * CascadeStep));
    QPoint next = previous->pos() + QPoint(CascadeStep, CascadeStep);
    if (next.x() < area.left() || next.x() > area.left() + room.width())
        next.setX(area.left());
    if (next.y() < area.top() || next.y() > area.top() + room.height())
        next.setY(area.top());
    window.move(next);
}

QRect OntoScreens(const QRect& rect)
{
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry() & rect;
        if (seen.width() >= GraspableSize && seen.height() >= GraspableSize)
            return rect;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return rect;
    const QRect area = primary->availableGeometry();
    QRect moved(QPoint(), rect.size().boundedTo(area.size()));
    moved.moveCenter(area.center());
    return moved;
}
