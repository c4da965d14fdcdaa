#pragma once
// The window of one browser: the UI side (context menu). Its page is a BrowserPage.

#include <QWebEngineView>

namespace engine {

class BrowserPage;

class BrowserView : public QWebEngineView {
    Q_OBJECT
public:
    explicit BrowserView(QWidget* parent = nullptr);
    BrowserPage* Page() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace engine
