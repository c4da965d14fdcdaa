#include "engine/Browser.h"

#include <atomic>

namespace engine {
namespace {
std::atomic<int> nextBrowserId{1};
}

QUrl AddressToUrl(const QString& address)
{
    return QUrl::fromUserInput(address.trimmed());
}

void Frame::Copy()
{
    if (page_)
        page_->triggerAction(QWebEnginePage::Copy);
}

void Frame::Paste()
{
    if (page_)
        page_->triggerAction(QWebEnginePage::Paste);
}

void Frame::ExecuteJavaScript(const QString& code, const QString&, int)
{
    if (page_)
        page_->runJavaScript(code);
}

QString Frame::GetURL() const
{
    return page_ ? page_->url().toString() : QString();
}

void Frame::LoadURL(const QString& url)
{
    if (page_)
        page_->load(AddressToUrl(url));
}

Browser::Browser(QWebEnginePage* page, QWidget* window, bool isPopup)
    : id_(nextBrowserId++), isPopup_(isPopup), page_(page), window_(window)
{}

void Browser::Reload()
{
    if (page_)
        page_->triggerAction(QWebEnginePage::Reload);
}

void Browser::StopLoad()
{
    if (page_)
        page_->triggerAction(QWebEnginePage::Stop);
}

} // namespace engine
