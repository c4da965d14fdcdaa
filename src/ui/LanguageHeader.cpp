#include "ui/LanguageHeader.h"

#include "engine/Request.h"
#include "shared/ZphConst.h"

void AddLanguageHeader(engine::Request& request)
{
    if (request.IsReadOnly())
        return;
    engine::HeaderMap headers;
    request.GetHeaderMap(headers);
    headers.Append(QStringLiteral("Accept-Language"), QString::fromLatin1(zph::EngineLocale));
    request.SetHeaderMap(headers);
}
