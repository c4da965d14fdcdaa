#include "engine/EngineTypes.h"

namespace engine {

QStringList HeaderMap::Values(const QString& key) const
{
    QStringList values;
    for (const auto& [name, value] : entries_)
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            values << value;
    return values;
}

} // namespace engine
