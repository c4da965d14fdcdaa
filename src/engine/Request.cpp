#include "engine/Request.h"

#include <QSet>

namespace engine {
namespace {

// The engine stops the whole process on a header it cannot send as it stands, so
// only HTTP tokens as names and values without line breaks or NUL go through.
bool IsToken(const QByteArray& name)
{
    static const QByteArray punctuation("!#$%&'*+-.^_`|~");
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && !punctuation.contains(c))
            return false;
    }
    return true;
}

bool IsSendableValue(const QByteArray& value)
{
    return !value.contains('\0') && !value.contains('\r') && !value.contains('\n');
}

} // namespace

void Request::SetHeaderMap(const HeaderMap& map)
{
    headers_ = map;
    QSet<QString> done;
    for (const auto& [name, value] : map.Entries()) {
        const QString key = name.toLower();
        if (done.contains(key))
            continue;
        done.insert(key);
        const QByteArray header = name.toLatin1();
        const QByteArray joined = map.Values(name).join(QStringLiteral(", ")).toUtf8();
        if (IsToken(header) && IsSendableValue(joined))
            info_.setHttpHeader(header, joined);
    }
}

} // namespace engine
