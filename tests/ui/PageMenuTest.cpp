// The main window's context menu from a real right click: the engine's entries in Chinese
// minus the one at position 4, "刷新" for the view that opened the menu, and on a picture
// "图片另存为...", which saves it where the user says, with the page's cookies, and
// shows "保存失败！" when it cannot; the engine's "保存图片" does the same.

#include <QMenu>
#include <QTemporaryDir>
#include <httplib.h>

#include "FileDialogAnswerer.h"
#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "engine/EngineTest.h"
#include "ui/AppMessageBox.h"
#include "ui/PostedMessages.h"

using namespace testing_support;
using window_life::BoxWatcher;
using window_life::ReadBytes;

namespace {

const QString Host = QStringLiteral("127.47.9.1");

const QByteArray MenuPage = R"(<html><head><title>Menu</title></head><body>
<p id="text">Plain text to click on</p>
<img id="picture" src="/pictures/photo.png?v=2" width="120" height="90">
<script>document.cookie = 'visitor=42; max-age=3600';</script>
</body></html>)";

QByteArray Picture()
{
    return ReadBytes(QStringLiteral(":/images/AppIcon.png"));
}

QMenu* VisibleMenu()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->isVisible())
            return menu;
    return nullptr;
}

QStringList Entries(const QMenu* menu)
{
    QStringList entries;
    for (const QAction* action : menu->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return entries;
}

QStringList Entries(const engine::MenuModel& model)
{
    QStringList entries;
    for (const auto& item : model.Items())
        entries << (item.CommandId < 0 ? QStringLiteral("-") : item.Label);
    return entries;
}

} // namespace

class PageMenuTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        ServeService(server_, MenuPage);
        ServePopupPages(server_);
        server_.Page("/popup-menu", MenuPage);
        server_.Handle("/pictures/photo.png", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(Picture().toStdString(), "image/png");
        });
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
        QVERIFY(PictureLoaded(form_->Tabs().Find(1)->Browser));
    }

    void cleanupTestCase() { form_.reset(); }

    void cleanup()
    {
        while (QMenu* menu = VisibleMenu())
            menu->close();
    }

    void entriesOnAPageAndOnAPicture_data()
    {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QStringList>("added");
        QTest::newRow("page") << "#text" << QStringList{"刷新"};
        QTest::newRow("picture") << "#picture" << QStringList{"刷新", "-", "图片另存为..."};
    }

    void entriesOnAPageAndOnAPicture()
    {
        QFETCH(QString, selector);
        QFETCH(QStringList, added);
        const QStringList proposed = ProposedAndShown(form_->Tabs().Find(1)->Browser, selector);
        QMenu* menu = VisibleMenu();
        QVERIFY(menu);
        QVERIFY2(proposed.size() > 5, qPrintable(proposed.join('|')));
        QStringList expected = proposed;
        expected.removeAt(4);
        QCOMPARE(Entries(menu), expected + added);
        // The engine's own entries read in Chinese.
        QVERIFY2(proposed.contains(QStringLiteral("后退")), qPrintable(proposed.join('|')));
    }

    // "刷新" in a popup tab reloads that tab's page and nothing else.
    void refreshReloadsTheViewThatOpenedTheMenu()
    {
        RunScript(form_->Tabs().Find(1), QStringLiteral("window.open('/popup-menu')"));
        QVERIFY(WaitFor([&] {
            const TBrowserTab* tab =
                form_->PageControl1->PageCount() == 4 ? TabOfPage(*form_, 2) : nullptr;
            return tab && tab->Browser && tab->Browser->Page()->title() == QLatin1String("Menu");
        }));
        const engine::BrowserRef popup = TabOfPage(*form_, 2)->Browser;
        QVERIFY(PictureLoaded(popup));
        ProposedAndShown(popup, QStringLiteral("#text"));
        server_.ClearRequests();
        TriggerEntry(QStringLiteral("刷新"));
        QVERIFY(WaitFor([&] { return !server_.RequestsFor("/popup-menu").empty(); }));
        QVERIFY(PictureLoaded(popup));
        QCOMPARE(int(server_.RequestsFor("/").size()), 0);
        form_->PostMessage(new TPageIndexMessage(2));
        QVERIFY(WaitFor([&] { return form_->PageControl1->PageCount() == 3; }));
    }

    void savePictureWithThePagesCookies()
    {
        const QString target = dir_.filePath(QStringLiteral("saved.png"));
        window_life::WriteBytes(target, "an older file");
        ProposedAndShown(form_->Tabs().Find(1)->Browser, QStringLiteral("#picture"));
        FileDialogAnswerer answer(target);
        BoxWatcher watcher(QMessageBox::Yes);
        server_.ClearRequests();
        TriggerEntry(QStringLiteral("图片另存为..."));
        QVERIFY(WaitFor([&] { return ReadBytes(target) == Picture(); }));
        QCOMPARE(answer.Offered(), QStringLiteral("photo.png?v=2"));
        QCOMPARE(answer.OfferedSuffix(), QStringLiteral("png?v=2"));
        QCOMPARE(answer.OfferedFilters(), QStringList{"*.png?v=2 (*.png?v=2)"});
        // Only the question whether to replace the older file.
        QCOMPARE(watcher.Seen().size(), 1);
        QVERIFY2(watcher.Seen()[0].Text.contains(QStringLiteral("saved.png")),
                 qPrintable(watcher.Seen()[0].Text));
        const auto fetched = server_.RequestsFor("/pictures/photo.png");
        QCOMPARE(int(fetched.size()), 1);
        QCOMPARE(fetched[0].Query, QStringLiteral("v=2"));
        QCOMPARE(fetched[0].Headers.value("cookie"), QStringLiteral("visitor=42"));
        // The engine's own entry offers the folder the last picture went to, too.
        ProposedAndShown(form_->Tabs().Find(1)->Browser, QStringLiteral("#picture"));
        FileDialogAnswerer again(QStringLiteral("again.png"));
        TriggerEntry(QStringLiteral("保存图片"));
        QVERIFY(WaitFor([&] { return ReadBytes(dir_.filePath("again.png")) == Picture(); }));
    }

    void savingThatFailsSaysSo_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("target"); // relative to the test's directory, or absolute
        QTest::addColumn<bool>("saved");
        QTest::newRow("no one answers") << "http://127.47.9.1:1/photo.png"
                                        << "dead.png" << false;
        QTest::newRow("not found") << "http://127.47.9.1:6868/none.png"
                                   << "none.png" << false;
        QTest::newRow("unwritable place") << "http://127.47.9.1:6868/pictures/photo.png"
                                          << "/sys/photo.png" << false;
        QTest::newRow("ftp: never fetched") << "ftp://127.47.9.1/a.png"
                                            << "a.png" << false;
        QTest::newRow("data address")
            << QString::fromLatin1("data:image/png;base64," + Picture().toBase64()) << "inline.png"
            << true;
    }

    void savingThatFailsSaysSo()
    {
        QFETCH(QString, address);
        QFETCH(QString, target);
        QFETCH(bool, saved);
        const QString path = QFileInfo(target).isAbsolute() ? target : dir_.filePath(target);
        FileDialogAnswerer answer(path);
        BoxWatcher watcher(QMessageBox::Ok);
        form_->SavePictureAs(address, form_->Tabs().Find(1)->Browser);
        QCOMPARE(answer.Shown(), 1);
        if (saved) {
            QVERIFY(WaitFor([&] { return ReadBytes(path) == Picture(); }));
            // Nothing more is said about it: the next box is the one asked for here.
            AppMessageBox(QStringLiteral("next"), MB_OK);
            QCOMPARE(watcher.Seen().size(), 1);
            QCOMPARE(watcher.Seen()[0].Text, QStringLiteral("next"));
            return;
        }
        QVERIFY(WaitFor([&] { return watcher.Seen().size() == 1; }));
        QCOMPARE(watcher.Seen()[0].Text, QStringLiteral("保存失败！"));
        QCOMPARE(watcher.Seen()[0].Icon, QMessageBox::Warning);
        QVERIFY(!QFile::exists(path));
    }

private:
    static bool PictureLoaded(const engine::BrowserRef& browser)
    {
        return WaitFor([&] {
            return engine_test::RunScript(browser, "document.getElementById('picture').complete")
                .value_or(false)
                .toBool();
        });
    }

    // Right-clicks `selector` in `browser`'s page; returns the entries the engine proposed
    // to the window's handler. The menu is left open.
    QStringList ProposedAndShown(const engine::BrowserRef& browser, const QString& selector)
    {
        // Popups report through the start tab's view, where their chain began.
        engine::TChromium* view = form_->Tabs().Find(1)->Page->findChild<engine::TChromium*>();
        QStringList proposed;
        const auto wired = view->OnBeforeContextMenu;
        view->OnBeforeContextMenu = [&](auto* sender, auto& b, auto& frame, auto& params,
                                        engine::MenuModel& model) {
            proposed = Entries(model);
            wired(sender, b, frame, params, model);
        };
        const bool clicked = engine_test::ClickElement(browser, selector, Qt::RightButton) &&
                             WaitFor([&] { return VisibleMenu() != nullptr; });
        view->OnBeforeContextMenu = wired;
        return clicked ? proposed : QStringList();
    }

    static void TriggerEntry(const QString& label)
    {
        QMenu* menu = VisibleMenu();
        QVERIFY(menu);
        for (QAction* action : menu->actions())
            if (action->text() == label) {
                menu->close();
                action->trigger();
                return;
            }
        QFAIL(qPrintable(label + " not in the menu"));
    }

    TestServer server_{6868, Host};
    QTemporaryDir dir_;
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<PageMenuTest>(argc, argv);
}

#include "PageMenuTest.moc"
