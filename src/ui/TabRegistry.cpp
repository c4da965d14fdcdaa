#include "ui/TabRegistry.h"

#include "ui/PageControl.h"

void TTabRegistry::Add(const QString& key, std::unique_ptr<TBrowserTab> tab)
{
    entries_[key].push_back(std::move(tab));
}

TBrowserTab* TTabRegistry::Find(const QString& key) const
{
    auto it = entries_.find(key);
    if (it == entries_.end() || it->second.empty())
        return nullptr;
    return it->second.back().get();
}

void TTabRegistry::Remove(const QString& key, const TSkinTabSheet* page)
{
    auto it = entries_.find(key);
    if (it == entries_.end())
        return;
    std::erase_if(it->second, [page](const auto& tab) { return tab->Page == page; });
    if (it->second.empty())
        entries_.erase(it);
}

int TTabRegistry::Count() const
{
    int count = 0;
    for (const auto& [key, list] : entries_)
        count += int(list.size());
    return count;
}

std::vector<TBrowserTab*> TTabRegistry::All() const
{
    std::vector<TBrowserTab*> all;
    for (const auto& [key, list] : entries_)
        for (const auto& tab : list)
            all.push_back(tab.get());
    return all;
}
