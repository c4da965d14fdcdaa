#include "ui/WindowPlacement.h"

#include <QLoggingCategory>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "shared/Global.h"
#include "ui/ScreenPlacement.h"

Q_LOGGING_CATEGORY(lcPlacement, "quillmark.ui.placement")

namespace {

// Long enough for the window manager to report the new window; short enough never to
// undo what the user does.
constexpr int StateRestoreMs = 3000;

} // namespace

TWindowPlacement::TWindowPlacement(QWidget& window) : window_(window) {}

void TWindowPlacement::PublishWindowHandle()
{
    publishedHandle_ = qint64(window_.winId());
    if (!ConfigFile().WriteInteger("SYSTEM", "HANDLE", publishedHandle_))
        qCWarning(lcPlacement) << "cannot write" << ConfigPath();
}

void TWindowPlacement::Restore(const core::IniFile& ini)
{
    const QRect workArea = window_.screen()->availableGeometry();
    const qint64 left = ini.ReadInteger("WIN", "LEFT", 0);
    const qint64 top = ini.ReadInteger("WIN", "TOP", 0);
    const qint64 right = ini.ReadInteger("WIN", "RIGHT", workArea.width());
    const qint64 bottom = ini.ReadInteger("WIN", "BOTTOM", workArea.height());
    const qint64 state = ini.ReadInteger("WIN", "STATE", 2);

    auto clamp = [](qint64 v) { return int(std::clamp<qint64>(v, -100000, 100000)); };
    const QRect rect = OntoScreens(
        QRect(QPoint(clamp(left), clamp(top)), QSize(clamp(right - left), clamp(bottom - top))));
    // Also under a maximised window: the rectangle it is un-maximised to.
    window_.move(rect.topLeft());
    window_.resize(rect.size());
    // Onto the native window at once, as MoveWindow does: a window that starts
    // minimized would otherwise keep the platform's first placement.
    window_.windowHandle()->setFramePosition(rect.topLeft());
    window_.windowHandle()->resize(window_.size());
    storedFrame_ = rect.topLeft();
    window_.setWindowState(state == 1   ? Qt::WindowMinimized
                           : state == 2 ? Qt::WindowMaximized
                                        : Qt::WindowNoState);
    if (state == 2)
        normalRect_ = QRect(rect.topLeft(), window_.size());
}

void TWindowPlacement::Save() const
{
    const QRect rect = WindowStateValue() == 2 && normalRect_
                           ? *normalRect_
                           : QRect(window_.pos(), window_.size());
    ConfigFile().WriteIntegers("WIN", {{"LEFT", rect.left()},
                                       {"TOP", rect.top()},
                                       {"RIGHT", rect.left() + rect.width()},
                                       {"BOTTOM", rect.top() + rect.height()},
                                       {"STATE", WindowStateValue()}});
}

int TWindowPlacement::WindowStateValue() const
{
    if (window_.windowState() & Qt::WindowMinimized)
        return 1;
    if (window_.windowState() & Qt::WindowMaximized)
        return 2;
    return 0;
}

// The native window under the main window: the window system makes it anew when the
// first browser view needs it (another kind of surface). A second start must find the
// new one, and the new one is mapped without the state and the frame position of the old:
// the window manager reports it normal, so a maximised first start would open at
// 640 x 480, and a stored position would creep by the frame's size at every start.
void TWindowPlacement::NativeWindowChanged()
{
    const qint64 id = qint64(window_.internalWinId());
    if (!id) {
        stateOfLostWindow_ = window_.windowState();
        frameOfLostWindow_ = storedFrame_.value_or(window_.pos());
        return;
    }
    if (!publishedHandle_ || id == publishedHandle_)
        return;
    storedFrame_.reset();
    PublishWindowHandle();
    if (!window_.isVisible())
        return;
    // The frame, not the window inside it, goes where the old frame was.
    QTimer::singleShot(0, &window_, [this, frame = frameOfLostWindow_] {
        if (window_.windowHandle() &&
            !(window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
            window_.windowHandle()->setFramePosition(frame);
    });
    if (stateOfLostWindow_ == Qt::WindowNoState)
        return;
    restoringState_ = stateOfLostWindow_;
    QTimer::singleShot(StateRestoreMs, &window_, [this] { restoringState_.reset(); });
    WindowStateChanged();
}

void TWindowPlacement::WindowStateChanged()
{
    const Qt::WindowStates state = window_.windowState();
    // The new native window passes through the normal state on its way back: not a
    // change of the user's.
    if (restoringState_) {
        if (state == *restoringState_)
            return;
        const Qt::WindowStates restoring = *restoringState_;
        restoringState_.reset();
        // Not from inside the state change the window system reports.
        QTimer::singleShot(0, &window_, [this, restoring] { window_.setWindowState(restoring); });
        return;
    }
    const bool wasMaximized = maximized_;
    maximized_ = state & Qt::WindowMaximized;
    if (maximized_ && !wasMaximized)
        normalRect_ = LastNormalRect();
    else if (wasMaximized && !maximized_ && !(state & Qt::WindowMinimized))
        BackToNormalRect();
}

QRect TWindowPlacement::LastNormalRect() const
{
    // Qt follows the normal geometry of the client area; the frame is as far off it as now.
    const QRect normal = window_.normalGeometry();
    const QPoint frameOffset = window_.geometry().topLeft() - window_.pos();
    return {normal.topLeft() - frameOffset, normal.size()};
}

void TWindowPlacement::BackToNormalRect()
{
    if (!normalRect_)
        return;
    QTimer::singleShot(0, &window_, [this, rect = *normalRect_] {
        if (window_.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized) ||
            !window_.windowHandle())
            return;
        window_.resize(rect.size());
        window_.windowHandle()->setFramePosition(rect.topLeft());
    });
    normalRect_.reset();
}
