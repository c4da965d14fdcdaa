#pragma once
// Small value types that travel with the view's events.

#include <QRect>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

namespace engine {

class Browser;
class Frame;
using BrowserRef = std::shared_ptr<Browser>;
using FrameRef = std::shared_ptr<Frame>;

enum TJsDialogType { JSDIALOGTYPE_ALERT = 0, JSDIALOGTYPE_CONFIRM = 1, JSDIALOGTYPE_PROMPT = 2 };

enum TWindowOpenDisposition {
    WOD_UNKNOWN = 0,
    WOD_CURRENT_TAB = 1,
    WOD_NEW_FOREGROUND_TAB = 3,
    WOD_NEW_BACKGROUND_TAB = 4,
    WOD_NEW_POPUP = 5,
    WOD_NEW_WINDOW = 6,
};

enum TReturnValue { RV_CANCEL = 0, RV_CONTINUE = 1 };

// How a page's renderer process ended when it was not asked to.
enum TTerminationStatus {
    TS_ABNORMAL_TERMINATION = 0,
    TS_PROCESS_WAS_KILLED = 1,
    TS_PROCESS_CRASHED = 2,
};

// A main-frame load that failed.
struct LoadError {
    QUrl FailedUrl;
    // true: ErrorCode is the status of the server's answer (4xx, 5xx); false: a network
    // error code of the engine (negative).
    bool HttpStatus = false;
    int ErrorCode = 0;
    QString ErrorText;
};

// Menu parameter media types.
enum TContextMenuMediaType { CM_MEDIATYPE_NONE = 0, CM_MEDIATYPE_IMAGE = 1 };

// Where and how a popup's window is made. The layer creates the popup inside
// `ParentWindow` (as the browser of a TChromium that has none yet, filling it), or as a
// top-level window when it is null.
struct WindowInfo {
    QWidget* ParentWindow = nullptr;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    QString WindowName;
};

// What the opener asked for in window.open().
struct PopupFeatures {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool XSet = false, YSet = false, WidthSet = false, HeightSet = false;
};

struct BrowserSettings {
    QString DefaultEncoding;
};

struct DownloadItem {
    QUrl Url;
    QString MimeType;
    qint64 TotalBytes = -1;
};

// Context-menu parameters, copied so that they outlive the menu event.
class ContextMenuParams {
public:
    TContextMenuMediaType GetMediaType() const { return MediaType; }
    QString GetSourceUrl() const { return SourceUrl.toString(); }
    QString GetLinkUrl() const { return LinkUrl.toString(); }
    QString GetPageUrl() const { return PageUrl.toString(); }
    QString GetSelectionText() const { return SelectionText; }

    TContextMenuMediaType MediaType = CM_MEDIATYPE_NONE;
    QUrl SourceUrl;
    QUrl LinkUrl;
    QUrl PageUrl;
    QString SelectionText;
    QPoint Position;
};

// Ordered header list that may hold a name several times.
class HeaderMap {
public:
    void Append(const QString& key, const QString& value) { entries_.emplace_back(key, value); }
    void Clear() { entries_.clear(); }
    int Size() const { return int(entries_.size()); }
    const std::vector<std::pair<QString, QString>>& Entries() const { return entries_; }
    // All values of a name (case-insensitive), in order.
    QStringList Values(const QString& key) const;

private:
    std::vector<std::pair<QString, QString>> entries_;
};

} // namespace engine
