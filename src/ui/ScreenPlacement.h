#pragma once
// Where the client's secondary windows appear: on the screen the pointer is on, inside
// its work area (so no panel covers them). Call before showing the window. UI thread.

class QWidget;

void PlaceCentred(QWidget& window);
void PlaceAtTopLeft(QWidget& window);
