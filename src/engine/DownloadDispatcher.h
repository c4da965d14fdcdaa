#pragma once
// TDownloadDispatcher: where the profile's downloads go. Each one the engine offers is,
// in turn, the continuation of a download of the list (the engine's next try after a
// break, or a retry), a picture save (SaveUrl.h), or a page's new download, which the
// TChromium its popup chain started from hands to its OnBeforeDownload into the list.
// Without a list, or without a page, a new download is cancelled. Made and owned by the
// profile (EngineProfile.h), so it lives exactly as long as the profile. UI thread only.

#include <QObject>
#include <QPointer>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace engine {

class TDownloadList;

class TDownloadDispatcher : public QObject {
    Q_OBJECT
public:
    // Takes the downloads `profile` offers; a child of it.
    explicit TDownloadDispatcher(QWebEngineProfile* profile);

    // The list new downloads go into, set by its owner; null: none. A list that is
    // destroyed is unset by that.
    void SetList(TDownloadList* list);

private:
    void Dispatch(QWebEngineDownloadRequest* request);

    QPointer<TDownloadList> list_;
};

} // namespace engine
