#pragma once
// Tab ids (as decimal text) to their records. A key may be registered several times;
// lookups find the entry added last. The registry owns the records.

#include <QString>
#include <memory>
#include <unordered_map>
#include <vector>

#include "ui/BrowserTab.h"

class TTabRegistry {
public:
    void Add(const QString& key, std::unique_ptr<TBrowserTab> tab);
    TBrowserTab* Find(const QString& key) const;
    // Removes and frees the entries of the key that live on `page`: an early title may
    // have made one before the tab's own, while page 0 shares the start tab's id.
    void Remove(const QString& key, const TSkinTabSheet* page);
    int Count() const;
    // Every record, for walks over all tabs.
    std::vector<TBrowserTab*> All() const;

private:
    std::unordered_map<QString, std::vector<std::unique_ptr<TBrowserTab>>> entries_;
};
