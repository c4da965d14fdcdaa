#pragma once
// Emptying a directory without making the window wait for it: what is in it is moved
// aside at once (a rename), then removed on a worker (core::RunOnceInBackground, which
// the client's end joins). Aside means beside it, as NAME.old-UUID; such siblings that a
// client ending during its removal left are removed along. UI thread.

class QString;

namespace engine {

// `directory` exists and is empty on return (unless it cannot be made).
void EmptyDirectoryInBackground(const QString& directory);

} // namespace engine
