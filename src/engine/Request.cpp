#include "engine/Request.h"

#include <QSet>

namespace engine {

void Request::SetHeaderMap(const HeaderMap& map)
{
    headers_ = map;
    QSet<QString> done;
    for (const auto& [name, value] : map.Entries()) {
        const QString key = name.toLower();
        if (done.contains(key))
            continue;
        done.insert(key);
        info_.setHttpHeader(name.toLatin1(), map.Values(name).join(QStringLiteral(", ")).toUtf8());
    }
}

} // namespace engine
