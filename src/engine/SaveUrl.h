#pragma once
// Saving what an address holds to a chosen file through the engine's own download, so
// the request carries the page's cookies and the window never waits for it. UI thread.

#include <QString>
#include <QUrl>
#include <functional>

#include "engine/EngineTypes.h"

class QWebEngineDownloadRequest;

namespace engine {

// Starts the transfer of `url` to `path` (an existing file is replaced) and returns.
// `finished` runs later, from the event loop, with true when the whole file was written;
// at once with false when `browser` has no page any more, and with false when the
// transfer has not started within a few seconds (an address the engine does not fetch).
void SaveUrlToFile(const BrowserRef& browser, const QUrl& url, const QString& path,
                   std::function<void(bool saved)> finished);

// For the profile's download dispatch: true (and the download is taken care of) when it
// is one that SaveUrlToFile asked for.
bool TakeUrlSave(QWebEngineDownloadRequest* download);

} // namespace engine
