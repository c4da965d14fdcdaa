#pragma once
// Scheduling priority of the calling thread only.

#include "core/CommonThread.h"

namespace platform {

// Below normal always works; above normal needs privileges and is silently left as it
// was when they are missing.
void ApplyThreadPriority(core::TThreadPriority priority);

} // namespace platform
