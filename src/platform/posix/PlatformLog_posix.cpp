#include "platform/PlatformLog.h"

#include <QLoggingCategory>
#include <QString>

namespace platform {
namespace {

Q_LOGGING_CATEGORY(lcPlatform, "quillmark.platform")

} // namespace

void LogWarning(std::string_view message)
{
    qCWarning(lcPlatform).noquote()
        << QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
}

} // namespace platform
