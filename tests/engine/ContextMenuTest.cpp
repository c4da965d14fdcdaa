// OnBeforeContextMenu and OnContextMenuCommand from a real right click on a page.

#include <QMenu>

#include "EngineTest.h"
#include "engine/Chromium.h"
#include "support/TestServer.h"

using namespace testing_support;

namespace {

const QByteArray MenuPage = R"(<html><head><title>Menu</title></head><body>
<p id="text">Plain text to click on</p>
<img id="picture" src="/picture.png" width="120" height="90">
</body></html>)";

QMenu* VisibleMenu()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->isVisible())
            return menu;
    return nullptr;
}

QAction* ActionLabelled(QMenu* menu, const QString& label)
{
    for (QAction* action : menu->actions())
        if (action->text() == label)
            return action;
    return nullptr;
}

struct MenuCall {
    int Count = 0;
    engine::BrowserRef Browser;
    engine::ContextMenuParams Params;
    engine::MenuModel Model;
};

} // namespace

class ContextMenuTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        server_.Page("/menu", MenuPage);
        server_.Page("/picture.png", engine_test::Png(), "image/png");
    }

    void init()
    {
        menuCall_ = {};
        commands_.clear();
        view_ = std::make_unique<engine::TChromium>();
        view_->resize(500, 400);
        view_->show();
    }

    void cleanup()
    {
        while (QMenu* menu = VisibleMenu())
            menu->close();
        view_.reset();
    }

    void reportsWhatWasClickedWithTheStandardEntries_data()
    {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<int>("mediaType");
        QTest::addColumn<QString>("source");
        QTest::newRow("picture") << "#picture" << int(engine::CM_MEDIATYPE_IMAGE) << "/picture.png";
        QTest::newRow("plain text") << "#text" << int(engine::CM_MEDIATYPE_NONE) << "";
    }

    void reportsWhatWasClickedWithTheStandardEntries()
    {
        QFETCH(QString, selector);
        QFETCH(QString, source);
        Record([](engine::MenuModel&) {});
        RightClick(selector);
        QCOMPARE(menuCall_.Count, 1);
        QCOMPARE(menuCall_.Browser, view_->Browser());
        QTEST(int(menuCall_.Params.GetMediaType()), "mediaType");
        QCOMPARE(menuCall_.Params.GetSourceUrl(),
                 source.isEmpty() ? QString() : server_.Url(source).toString());
        QCOMPARE(menuCall_.Params.GetPageUrl(), server_.Url("/menu").toString());
        QList<int> ids;
        for (int i = 0; i < menuCall_.Model.GetCount(); ++i)
            ids << menuCall_.Model.GetCommandIdAt(i);
        QVERIFY2(ids.contains(engine::MENU_ID_BACK) && ids.contains(engine::MENU_ID_RELOAD),
                 qPrintable(QString::number(ids.size())));
        // The model left alone: the engine's menu is shown with its entries.
        QMenu* menu = VisibleMenu();
        QVERIFY(menu);
        QCOMPARE(int(menu->actions().size()), menuCall_.Model.GetCount());
        // A fresh page has nothing to go back to; it can always be reloaded.
        QVERIFY(!menu->actions().at(ids.indexOf(engine::MENU_ID_BACK))->isEnabled());
        QVERIFY(menu->actions().at(ids.indexOf(engine::MENU_ID_RELOAD))->isEnabled());
    }

    void clearedModelShowsNoMenu()
    {
        Record([](engine::MenuModel& model) { model.Clear(); });
        RightClick("#text");
        QCOMPARE(menuCall_.Count, 1);
        QVERIFY(!VisibleMenu());
    }

    void ownItemRaisesItsCommandWithTheSameParams()
    {
        Record([](engine::MenuModel& model) {
            model.Clear();
            model.AddItem(engine::MENU_ID_USER_FIRST, "刷新");
        });
        RightClick("#picture");
        QMenu* menu = VisibleMenu();
        QVERIFY(menu);
        QCOMPARE(int(menu->actions().size()), 1);
        QAction* own = ActionLabelled(menu, "刷新");
        QVERIFY(own);
        own->trigger();
        QCOMPARE(int(commands_.size()), 1);
        const auto& [browser, id, params] = commands_.first();
        QCOMPARE(id, int(engine::MENU_ID_USER_FIRST));
        QCOMPARE(browser, view_->Browser());
        QCOMPARE(params.GetMediaType(), engine::CM_MEDIATYPE_IMAGE);
        QCOMPARE(params.GetSourceUrl(), menuCall_.Params.GetSourceUrl());
    }

    // Result left false on a standard entry: the engine does what the entry says.
    void standardCommandNotHandledRunsTheEnginesAction()
    {
        Record([](engine::MenuModel&) {});
        RightClick("#text");
        QMenu* menu = VisibleMenu();
        QVERIFY(menu);
        int reloadIndex = -1;
        for (int i = 0; i < menuCall_.Model.GetCount(); ++i)
            if (menuCall_.Model.GetCommandIdAt(i) == engine::MENU_ID_RELOAD)
                reloadIndex = i;
        QVERIFY(reloadIndex >= 0);
        server_.ClearRequests();
        menu->actions().at(reloadIndex)->trigger();
        QCOMPARE(int(commands_.size()), 1);
        QCOMPARE(std::get<1>(commands_.first()), int(engine::MENU_ID_RELOAD));
        QVERIFY(WaitFor([&] { return !server_.RequestsFor("/menu").empty(); }));
    }

    void popupsMenuComesThroughTheFirstView()
    {
        QWidget parent;
        parent.resize(500, 400);
        parent.show();
        view_->OnBeforePopup = [&](auto*, auto&, auto&, auto&, auto&, auto, auto, auto&,
                                   engine::WindowInfo& windowInfo, auto&, auto&, auto&) {
            windowInfo.ParentWindow = &parent;
            windowInfo.Width = 500;
            windowInfo.Height = 400;
        };
        engine::BrowserRef popup;
        view_->OnTitleChange = [&](auto*, const engine::BrowserRef& browser, auto&) {
            if (browser->IsPopup())
                popup = browser;
        };
        Record([](engine::MenuModel&) {});
        LoadMenuPage();
        view_->Browser()->GetMainFrame()->ExecuteJavaScript("window.open('/menu')");
        QVERIFY(WaitFor([&] { return popup && PictureLoaded(popup); }));
        QVERIFY(engine_test::ClickElement(popup, "#picture", Qt::RightButton));
        QVERIFY(WaitFor([&] { return menuCall_.Count > 0; }));
        QCOMPARE(menuCall_.Browser, popup);
        QCOMPARE(menuCall_.Params.GetMediaType(), engine::CM_MEDIATYPE_IMAGE);
    }

private:
    // Records the menu event after `edit` has changed its model, and every command.
    void Record(std::function<void(engine::MenuModel&)> edit)
    {
        view_->OnBeforeContextMenu = [this, edit = std::move(edit)](
                                         engine::TChromium* sender,
                                         const engine::BrowserRef& browser, const engine::FrameRef&,
                                         const engine::ContextMenuParams& params,
                                         engine::MenuModel& model) {
            QCOMPARE(sender, view_.get());
            menuCall_ = {menuCall_.Count + 1, browser, params, model};
            edit(model);
        };
        view_->OnContextMenuCommand = [this](auto*, const engine::BrowserRef& browser, auto&,
                                             const engine::ContextMenuParams& params, int id, int,
                                             bool&) {
            commands_ << std::tuple{browser, id, params};
        };
    }

    static bool PictureLoaded(const engine::BrowserRef& browser)
    {
        return engine_test::RunScript(browser, "document.getElementById('picture').complete")
            .value_or(false)
            .toBool();
    }

    void LoadMenuPage()
    {
        view_->Load(server_.Url("/menu").toString());
        QVERIFY(WaitFor([&] { return PictureLoaded(view_->Browser()); }));
    }

    void RightClick(const QString& selector)
    {
        LoadMenuPage();
        QVERIFY(engine_test::ClickElement(view_->Browser(), selector, Qt::RightButton));
        QVERIFY(WaitFor([&] { return menuCall_.Count > 0; }));
    }

    TestServer server_;
    std::unique_ptr<engine::TChromium> view_;
    MenuCall menuCall_;
    QList<std::tuple<engine::BrowserRef, int, engine::ContextMenuParams>> commands_;
};

int main(int argc, char** argv)
{
    return engine_test::RunEngineTest<ContextMenuTest>(argc, argv);
}

#include "ContextMenuTest.moc"
