#pragma once
// Hands every request of one page to OnBeforeResourceLoad of the page's TChromium.
// Called on the UI thread.

#include <QWebEngineUrlRequestInterceptor>

namespace engine {

class BrowserPage;

class RequestInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    explicit RequestInterceptor(BrowserPage* page);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    BrowserPage* page_;
};

} // namespace engine
