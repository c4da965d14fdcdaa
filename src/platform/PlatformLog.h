#pragma once
// Log category of the OS services. Failures here are never shown to the user.

#include <QLoggingCategory>

namespace platform {

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)

} // namespace platform
