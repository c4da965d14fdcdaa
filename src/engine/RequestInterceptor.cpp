#include "engine/RequestInterceptor.h"

#include "engine/BrowserPage.h"
#include "engine/Chromium.h"

namespace engine {

RequestInterceptor::RequestInterceptor(BrowserPage* page)
    : QWebEngineUrlRequestInterceptor(page), page_(page)
{}

void RequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    TChromium* root = page_->Root();
    if (!root || !root->OnBeforeResourceLoad)
        return;
    Request request(info);
    TReturnValue result = RV_CONTINUE;
    const BrowserRef& browser = page_->GetBrowser();
    root->OnBeforeResourceLoad(root, browser, browser->GetMainFrame(), request, result);
    if (result == RV_CANCEL)
        info.block(true);
}

} // namespace engine
