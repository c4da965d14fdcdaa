#pragma once
// TPopupGate: the main window's bounds on what its pages open. A popup tab is admitted up
// to [SYSTEM] MAXTABS open tabs and MAXPOPUPS popups without a user gesture per chain in
// any 10 s; a secondary window up to the process-wide MAXWINDOWS (TWindowBounds). What is
// held back is told once per burst, with its count, in a note at the end of the strip, and
// a page over a bound has the engine refuse its further script popups for a while.
//
// UI thread only. The window owns the gate; the notes belong to the strip.

#include <QPointer>
#include <optional>

#include "core/PopupBounds.h"

namespace core {
class IniFile;
}
class QWebEnginePage;
class QWidget;
class THeldBackNote;

class TPopupGate {
public:
    // The bounds come from `ini`'s [SYSTEM]; the notes go on `strip`.
    TPopupGate(const core::IniFile& ini, QWidget* strip);

    // `page` asks for a popup of `chain` while `openTabs` tabs are open. False: it is held
    // back, the note counts it and `page`'s further script popups are refused.
    bool AdmitPopup(int chain, bool userGesture, int openTabs, QWebEnginePage* page);
    // A secondary window for an address of its own: the chain it starts, or nullopt when
    // it is held back (the window note counts it).
    std::optional<int> AdmitWindow();

    // Replaces the bounds read at creation.
    void SetBounds(const core::TPopupBounds& bounds) { bounds_ = bounds; }
    // Popups and secondary windows held back since their note last hid.
    int PopupsHeldBack() const;
    int WindowsHeldBack() const;

private:
    void HoldBackPopup(core::TPopupBounds::TVerdict verdict);
    void HoldBackWindow();

    QWidget* strip_;
    core::TPopupBounds bounds_;
    QPointer<THeldBackNote> popupNote_;
    QPointer<THeldBackNote> windowNote_;
};
