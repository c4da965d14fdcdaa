#pragma once
// Loopback ports. Any thread.

namespace platform {

// True when nothing listens on 127.0.0.1:`port` yet, so a server of ours could take it.
bool LoopbackPortFree(int port);

} // namespace platform
