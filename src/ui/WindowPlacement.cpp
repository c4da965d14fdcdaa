#include "ui/WindowPlacement.h"

#include <QLoggingCategory>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "shared/Global.h"

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

    if (state != 2) {
        auto clamp = [](qint64 v) { return int(std::clamp<qint64>(v, -100000, 100000)); };
        const QPoint topLeft(clamp(left), clamp(top));
        window_.move(topLeft);
        window_.resize(clamp(right - left), clamp(bottom - top));
        // Onto the native window at once, as MoveWindow does: a window that starts
        // minimized would otherwise keep the platform's first placement.
        window_.windowHandle()->setFramePosition(topLeft);
        window_.windowHandle()->resize(window_.size());
        storedFrame_ = topLeft;
    }
    window_.setWindowState(state == 1   ? Qt::WindowMinimized
                           : state == 2 ? Qt::WindowMaximized
                                        : Qt::WindowNoState);
}

void TWindowPlacement::Save() const
{
    const int x = window_.x();
    const int y = window_.y();
    ConfigFile().WriteIntegers("WIN", {{"LEFT", x},
                                       {"TOP", y},
                                       {"RIGHT", x + window_.width()},
                                       {"BOTTOM", y + window_.height()},
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
    if (!restoringState_ || window_.windowState() == *restoringState_)
        return;
    const Qt::WindowStates state = *restoringState_;
    restoringState_.reset();
    // Not from inside the state change the window system reports.
    QTimer::singleShot(0, &window_, [this, state] { window_.setWindowState(state); });
}
