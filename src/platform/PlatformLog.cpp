#include "platform/PlatformLog.h"

namespace platform {

Q_LOGGING_CATEGORY(lcPlatform, "quillmark.platform")

} // namespace platform
