#pragma once
// The engine's browser and frame objects. A Browser is one page with the window that
// shows it; it is shared (counted) and stays valid after its page is gone, when its
// operations do nothing. UI thread only.

#include <QPointer>
#include <QWebEnginePage>
#include <QWidget>

#include "engine/EngineTypes.h"

namespace engine {

class BrowserHost {
public:
    explicit BrowserHost(QWidget* window) : window_(window) {}
    // The browser's own window: its parent is the control that holds the browser.
    QWidget* GetWindowHandle() const { return window_; }

private:
    QPointer<QWidget> window_;
};

class Frame {
public:
    explicit Frame(QWebEnginePage* page) : page_(page) {}
    bool IsValid() const { return !page_.isNull(); }
    void Copy();
    void Paste();
    // scriptUrl and startLine only label the code for the developer tools.
    void ExecuteJavaScript(const QString& code, const QString& scriptUrl = {}, int startLine = 0);
    QString GetURL() const;
    void LoadURL(const QString& url);

private:
    QPointer<QWebEnginePage> page_;
};

class Browser {
public:
    Browser(QWebEnginePage* page, QWidget* window, bool isPopup);

    int GetIdentifier() const { return id_; }
    bool IsPopup() const { return isPopup_; }
    BrowserHost GetHost() const { return BrowserHost(window_); }
    FrameRef GetMainFrame() const { return std::make_shared<Frame>(page_); }
    void Reload();
    void StopLoad();

    QWebEnginePage* Page() const { return page_; }
    QWidget* Window() const { return window_; }

private:
    int id_;
    bool isPopup_;
    QPointer<QWebEnginePage> page_;
    QPointer<QWidget> window_;
};

// Loads an address the way a typed address is read: "about:blank", a full URL, or a
// host name and path without scheme.
QUrl AddressToUrl(const QString& address);

} // namespace engine
