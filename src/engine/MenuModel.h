#pragma once
// The context menu as a list of items with command ids, built from the engine's
// standard menu before OnBeforeContextMenu and shown from it afterwards.

#include <QString>
#include <vector>

namespace engine {

// Command ids of the standard entries.
enum TMenuId {
    MENU_ID_BACK = 100,
    MENU_ID_FORWARD = 101,
    MENU_ID_RELOAD = 102,
    MENU_ID_RELOAD_NOCACHE = 103,
    MENU_ID_STOPLOAD = 104,
    MENU_ID_UNDO = 110,
    MENU_ID_REDO = 111,
    MENU_ID_CUT = 112,
    MENU_ID_COPY = 113,
    MENU_ID_PASTE = 114,
    MENU_ID_DELETE = 115,
    MENU_ID_SELECT_ALL = 116,
    MENU_ID_VIEW_SOURCE = 132,
    MENU_ID_SAVE_IMAGE = 140,
    MENU_ID_ENGINE_FIRST = 200, // further entries of the engine's own menu
    MENU_ID_USER_FIRST = 26500,
    MENU_ID_USER_LAST = 28500,
};

class MenuModel {
public:
    struct Item {
        int CommandId = -1; // -1: separator
        QString Label;
    };

    void Clear() { items_.clear(); }
    bool RemoveAt(int index);
    void AddItem(int commandId, const QString& label) { items_.push_back({commandId, label}); }
    void AddSeparator() { items_.push_back({-1, QString()}); }
    int GetCount() const { return int(items_.size()); }
    int GetCommandIdAt(int index) const;
    QString GetLabelAt(int index) const;
    const std::vector<Item>& Items() const { return items_; }

private:
    std::vector<Item> items_;
};

} // namespace engine
