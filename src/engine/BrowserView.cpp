#include "engine/BrowserView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QWebEngineContextMenuRequest>
#include <map>

#include "engine/BrowserPage.h"
#include "engine/Chromium.h"
#include "engine/MenuModel.h"

namespace engine {
namespace {

int StandardCommandId(QWebEnginePage* page, QAction* action)
{
    static const std::pair<QWebEnginePage::WebAction, int> known[] = {
        {QWebEnginePage::Back, MENU_ID_BACK},
        {QWebEnginePage::Forward, MENU_ID_FORWARD},
        {QWebEnginePage::Reload, MENU_ID_RELOAD},
        {QWebEnginePage::ReloadAndBypassCache, MENU_ID_RELOAD_NOCACHE},
        {QWebEnginePage::Stop, MENU_ID_STOPLOAD},
        {QWebEnginePage::Undo, MENU_ID_UNDO},
        {QWebEnginePage::Redo, MENU_ID_REDO},
        {QWebEnginePage::Cut, MENU_ID_CUT},
        {QWebEnginePage::Copy, MENU_ID_COPY},
        {QWebEnginePage::Paste, MENU_ID_PASTE},
        {QWebEnginePage::Unselect, MENU_ID_DELETE},
        {QWebEnginePage::SelectAll, MENU_ID_SELECT_ALL},
        {QWebEnginePage::ViewSource, MENU_ID_VIEW_SOURCE},
        {QWebEnginePage::DownloadImageToDisk, MENU_ID_SAVE_IMAGE},
    };
    for (const auto& [webAction, id] : known)
        if (page->action(webAction) == action)
            return id;
    return -1;
}

ContextMenuParams ParamsOf(const QWebEngineContextMenuRequest& request, const QUrl& pageUrl)
{
    ContextMenuParams params;
    params.MediaType = request.mediaType() == QWebEngineContextMenuRequest::MediaTypeImage
                           ? CM_MEDIATYPE_IMAGE
                           : CM_MEDIATYPE_NONE;
    params.SourceUrl = request.mediaUrl();
    params.LinkUrl = request.linkUrl();
    params.PageUrl = pageUrl;
    params.SelectionText = request.selectedText();
    params.Position = request.position();
    return params;
}

} // namespace

BrowserView::BrowserView(QWidget* parent) : QWebEngineView(parent) {}

BrowserPage* BrowserView::Page() const
{
    return BrowserPage::From(page());
}

void BrowserView::contextMenuEvent(QContextMenuEvent* event)
{
    BrowserPage* page = Page();
    TChromium* root = page ? page->Root() : nullptr;
    QWebEngineContextMenuRequest* request = lastContextMenuRequest();
    if (!root || !request || !root->OnBeforeContextMenu) {
        QWebEngineView::contextMenuEvent(event);
        return;
    }
    const ContextMenuParams params = ParamsOf(*request, page->url());
    QMenu* standard = createStandardContextMenu();

    MenuModel model;
    std::map<int, QPointer<QAction>> engineActions;
    int nextEngineId = MENU_ID_ENGINE_FIRST;
    for (QAction* action : standard->actions()) {
        if (action->isSeparator()) {
            model.AddSeparator();
            continue;
        }
        int id = StandardCommandId(page, action);
        if (id < 0)
            id = nextEngineId++;
        model.AddItem(id, action->text());
        engineActions[id] = action;
    }

    const BrowserRef browser = page->GetBrowser();
    const FrameRef frame = browser->GetMainFrame();
    root->OnBeforeContextMenu(root, browser, frame, params, model);
    if (model.GetCount() == 0) {
        delete standard;
        return;
    }

    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    standard->setParent(menu, standard->windowFlags()); // keeps the engine's actions alive
    QPointer<TChromium> target(root);
    for (const auto& item : model.Items()) {
        if (item.CommandId < 0) {
            menu->addSeparator();
            continue;
        }
        QAction* entry = menu->addAction(item.Label);
        auto known = engineActions.find(item.CommandId);
        QPointer<QAction> engineAction = known != engineActions.end() ? known->second : nullptr;
        if (engineAction)
            entry->setEnabled(engineAction->isEnabled());
        const int id = item.CommandId;
        connect(entry, &QAction::triggered, this, [=] {
            bool handled = false;
            if (target && target->OnContextMenuCommand)
                target->OnContextMenuCommand(target, browser, frame, params, id, 0, handled);
            if (!handled && engineAction)
                engineAction->trigger();
        });
    }
    menu->popup(event->globalPos());
}

} // namespace engine
