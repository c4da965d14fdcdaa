#pragma once
// The records behind the main window's tabs.

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "core/TabGeometry.h"
#include "engine/EngineTypes.h"

class TSkinTabSheet;

// One registered tab.
struct TBrowserTab {
    bool Loaded = false;
    bool IsPopup = false;
    QPointer<QWidget> BrowserWindow; // fitted to the page and given the focus
    qint32 LoadingFrame = 0;
    engine::BrowserRef Browser;
    QPointer<TSkinTabSheet> Page;
    bool NeedsFit = false;
};

// Per page index: the strip's hit areas and hover state.
struct TTabInfo {
    bool OutsideClose = false;
    qint32 PageIndex = 0;
    core::TRect CloseRect; // strip coordinates
    core::TRect TabRect;   // strip coordinates
};

// A popup to be made into a tab once the engine has created its window.
struct TPopupInfo {
    QPointer<QWidget> Window;
    // The page that holds the popup's window (every popup gets a page of its own).
    QPointer<TSkinTabSheet> Page;
    // Opened as a background tab (a middle click or Ctrl+click on a link).
    bool Background = false;
};
