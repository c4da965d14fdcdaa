#pragma once
// TWindowPlacement: where the main window is. It places the window as [WIN] of config.ini
// says (LEFT, TOP, RIGHT, BOTTOM, STATE), writes the window's current placement back on
// every close request (a maximised window's rectangle is the one it had last when normal,
// and un-maximising brings it back there), publishes the native window's id as [SYSTEM] HANDLE for
// a second start to find, and carries the state and frame position over when the window system
// makes the native window anew.
//
// UI thread only. Owned by the window it places, which it must not outlive; the window
// forwards its WinIdChange and WindowStateChange events.

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

namespace core {
class IniFile;
}

class TWindowPlacement {
public:
    explicit TWindowPlacement(QWidget& window);

    // Writes [SYSTEM] HANDLE, the native window's id; makes the native window.
    void PublishWindowHandle();
    // Places the window, before it is shown, as `ini`'s [WIN] says; maximized by default.
    void Restore(const core::IniFile& ini);
    // Writes the window's placement to [WIN], in one rewrite of config.ini.
    void Save() const;
    // Window state as stored in [WIN] STATE: 0 normal, 1 minimized, 2 maximized.
    int WindowStateValue() const;

    // The native window has gone or been made anew.
    void NativeWindowChanged();
    // The window's state has changed.
    void WindowStateChanged();

private:
    // The rectangle [WIN] stores for the window when normal: its frame's position and
    // its client size.
    QRect LastNormalRect() const;
    // The window manager has left the rectangle to chance when the window was mapped
    // maximised (or made anew while maximised): un-maximised, it goes back explicitly.
    void BackToNormalRect();

    QWidget& window_;
    qint64 publishedHandle_ = 0;
    // The state and frame position of the native window the window system took away to
    // make it anew, and the state the new one is being brought back to.
    Qt::WindowStates stateOfLostWindow_;
    QPoint frameOfLostWindow_;
    // The stored frame position, until the window has been made anew: the window manager
    // may have framed the first window around that point instead of at it.
    std::optional<QPoint> storedFrame_;
    std::optional<Qt::WindowStates> restoringState_;
    bool maximized_ = false;
    // While maximised: the rectangle to go back to.
    std::optional<QRect> normalRect_;
};
