#pragma once
// A request about to be sent, as the view's OnBeforeResourceLoad sees it. The engine
// lets us set headers but not read the ones it will send itself, so the header map
// starts empty and holds what the handler put there.

#include <QWebEngineUrlRequestInfo>

#include "engine/EngineTypes.h"

namespace engine {

class Request {
public:
    explicit Request(QWebEngineUrlRequestInfo& info) : info_(info) {}

    bool IsReadOnly() const { return false; }
    QString GetURL() const { return info_.requestUrl().toString(); }
    QString GetMethod() const { return QString::fromLatin1(info_.requestMethod()); }
    QWebEngineUrlRequestInfo::ResourceType GetResourceType() const { return info_.resourceType(); }
    void GetHeaderMap(HeaderMap& map) const { map = headers_; }
    // Sets every header of the map on the request. A name given several times is sent
    // once, its values joined by ", " (the engine cannot send a header twice). A header
    // that cannot be sent as it stands (name not an HTTP token, value with CR, LF or
    // NUL) is left out.
    void SetHeaderMap(const HeaderMap& map);

private:
    QWebEngineUrlRequestInfo& info_;
    HeaderMap headers_;
};

} // namespace engine
