#include "engine/MenuModel.h"

namespace engine {

bool MenuModel::RemoveAt(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    items_.erase(items_.begin() + index);
    return true;
}

int MenuModel::GetCommandIdAt(int index) const
{
    return index >= 0 && index < GetCount() ? items_[size_t(index)].CommandId : -1;
}

QString MenuModel::GetLabelAt(int index) const
{
    return index >= 0 && index < GetCount() ? items_[size_t(index)].Label : QString();
}

} // namespace engine
