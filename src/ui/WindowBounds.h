#pragma once
// Bounds on popups and secondary windows, read from [SYSTEM]: MAXTABS open tabs,
// MAXWINDOWS open secondary windows, and MAXPOPUPS popups without a user gesture per
// chain in any 10 s. A chain of secondary windows is a window opened for an address and
// every window its pages open in turn. UI thread only.

#include "core/PopupBounds.h"

namespace core {
class IniFile;
}

struct TPopupSettings {
    static constexpr int DefaultMaxWindows = 20;

    int MaxTabs = core::TPopupBounds::DefaultMaxTabs;
    int ChainLimit = core::TPopupBounds::DefaultChainLimit;
    int MaxWindows = DefaultMaxWindows;

    // A value that is missing or not a positive number keeps its default.
    static TPopupSettings Read(const core::IniFile& ini);
};

// The secondary windows' bounds, shared by every secondary window and the hand-over of
// addresses; settings are read from config.ini on first use.
class TWindowBounds {
public:
    static TWindowBounds& Instance();

    // A chain for a window opened for an address of its own.
    int NewChain() { return ++lastChain_; }
    // A window of `chain` is asked for. An admitted one counts as open until Made() (also
    // when it is given up); a hand-over asks with `userGesture` true.
    core::TPopupBounds::TVerdict Admit(int chain, bool userGesture);
    void Made() { --admitted_; }
    int MaxWindows() const { return bounds_.MaxTabs(); }

private:
    TWindowBounds();

    core::TPopupBounds bounds_;
    int admitted_ = 0;
    int lastChain_ = 0;
};
