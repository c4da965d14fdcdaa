#pragma once
// Where the client's secondary windows appear: on the screen the pointer is on, inside
// its work area (so no panel covers them). Call before showing the window. UI thread.

class QRect;
class QWidget;

void PlaceCentred(QWidget& window);
// A step down and right of `previous` (a window of the same kind still open), back to the
// work area's left or top edge where the window would leave it; without one, at the
// work area's top left.
void PlaceCascaded(QWidget& window, const QWidget* previous);
// `rect` unchanged when enough of it is on a screen to grab it; else the same size (at
// most the work area's) in the middle of the primary screen's work area.
QRect OntoScreens(const QRect& rect);
