#pragma once
// The record behind one of the main window's tabs, and a popup waiting for its tab.

#include <QPointer>
#include <QWidget>

#include "engine/EngineTypes.h"

class TSkinTabSheet;

// One tab of the strip.
struct TBrowserTab {
    bool Loaded = false;
    // A load is under way: the strip animates the tab until it ends.
    bool Loading = false;
    bool IsPopup = false;
    QPointer<QWidget> BrowserWindow; // fitted to the page and given the focus
    qint32 LoadingFrame = 0;
    engine::BrowserRef Browser;
    QPointer<TSkinTabSheet> Page;
    bool NeedsFit = false;
};

// A popup to be made into a tab once the engine has created its window.
struct TPopupInfo {
    QPointer<QWidget> Window;
    // The page that holds the popup's window (every popup gets a page of its own).
    QPointer<TSkinTabSheet> Page;
    // Opened as a background tab (a middle click or Ctrl+click on a link).
    bool Background = false;
};
