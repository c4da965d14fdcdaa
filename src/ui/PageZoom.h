#pragma once
// Page zoom kept per host: config.ini [ZOOM] host=percent (host keys as core::ZoomKeyOfHost
// writes them), applied to every page of that host in every window. A page without a
// host (about:blank) zooms alone and keeps nothing. The file is read once per host and
// written on every change (core::TZoomStore). UI thread only.

class QUrl;
class QWebEnginePage;
class QWebEngineView;

// The stored percentage of the address's host; 100 when none is stored or the stored
// text is not a whole number from 25 to 500.
int StoredZoomPercent(const QUrl& address);
// Drops what was read of [ZOOM]: a new main window reads its config.ini afresh.
void ForgetStoredZoom();
// Gives the page its host's stored zoom (on every change of its address).
void ApplyStoredZoom(QWebEnginePage* page);
// Ctrl+plus (up) and Ctrl+minus: the next step for the view's host.
void StepZoom(QWebEngineView* view, bool up);
// Ctrl+0: back to 100 %.
void ResetZoom(QWebEngineView* view);
