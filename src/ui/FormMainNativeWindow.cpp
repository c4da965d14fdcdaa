// The native window under the main window: the window system makes it anew when the
// first browser view needs it (another kind of surface). A second start must find the
// new one, and the new one is mapped without the state and the frame position of the old:
// the window manager reports it normal, so a maximised first start would open at
// 640 x 480, and a stored position would creep by the frame's size at every start.

#include <QTimer>
#include <QWindow>

#include "ui/FormMain.h"

namespace {

// Long enough for the window manager to report the new window; short enough never to
// undo what the user does.
constexpr int StateRestoreMs = 3000;

} // namespace

void TFormMain::NativeWindowChanged()
{
    const qint64 id = qint64(internalWinId());
    if (!id) {
        stateOfLostWindow_ = windowState();
        frameOfLostWindow_ = storedFrame_.value_or(pos());
        return;
    }
    if (!publishedHandle_ || id == publishedHandle_)
        return;
    storedFrame_.reset();
    PublishWindowHandle();
    if (!isVisible())
        return;
    // The frame, not the window inside it, goes where the old frame was.
    QTimer::singleShot(0, this, [this, frame = frameOfLostWindow_] {
        if (windowHandle() && !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
            windowHandle()->setFramePosition(frame);
    });
    if (stateOfLostWindow_ == Qt::WindowNoState)
        return;
    restoringState_ = stateOfLostWindow_;
    QTimer::singleShot(StateRestoreMs, this, [this] { restoringState_.reset(); });
    WindowStateChanged();
}

void TFormMain::WindowStateChanged()
{
    if (!restoringState_ || windowState() == *restoringState_)
        return;
    const Qt::WindowStates state = *restoringState_;
    restoringState_.reset();
    // Not from inside the state change the window system reports.
    QTimer::singleShot(0, this, [this, state] { setWindowState(state); });
}
