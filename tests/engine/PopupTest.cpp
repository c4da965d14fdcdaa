// OnBeforePopup from a real page: what is reported, where the popup's window is made,
// cancelling, and the popup's own events coming through the first view.

#include <QWebEngineView>
#include <httplib.h>

#include "EngineTest.h"
#include "engine/Chromium.h"
#include "support/TestServer.h"

using namespace testing_support;
using engine_test::RunScript;

namespace {

const QByteArray OpenerPage = R"(<html><head><title>Opener</title></head><body>
<a id="blank" href="/target?n=link" target="_blank">a new tab</a>
<script>
function openPopup() {
  window.popup = window.open('/target?n=script', 'named', 'left=5,top=6,width=320,height=240');
  return window.popup === null ? 'null' : window.popup.closed ? 'closed' : 'open';
}
</script></body></html>)";

// A popup that opens a popup in turn.
const QByteArray ChainPage = R"(<html><head><title>Chain</title></head><body><script>
window.open('/target?n=second', 'second', 'width=200,height=100');
</script></body></html>)";

struct PopupCall {
    engine::BrowserRef Browser;
    QString FrameUrl, TargetUrl;
    engine::TWindowOpenDisposition Disposition = engine::WOD_UNKNOWN;
    bool UserGesture = false;
    engine::PopupFeatures Features;
};

QList<QWebEngineView*> AllWebViews()
{
    QList<QWebEngineView*> views;
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* view = qobject_cast<QWebEngineView*>(widget))
            views << view;
    return views;
}

} // namespace

class PopupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        server_.Page("/opener", OpenerPage);
        server_.Page("/chain", ChainPage);
        server_.Handle("/target", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("<html><head><title>Target " + req.get_param_value("n") +
                                "</title></head><body>t</body></html>",
                            "text/html");
        });
    }

    void init()
    {
        view_ = std::make_unique<engine::TChromium>();
        calls_.clear();
        titles_.clear();
        view_->OnTitleChange = [this](engine::TChromium* sender, const engine::BrowserRef& browser,
                                      const QString& title) {
            QCOMPARE(sender, view_.get());
            titles_.insert(title, browser);
        };
        view_->resize(600, 400);
        view_->show();
    }

    void cleanup()
    {
        view_.reset();
        calls_.clear();
        // Top-level popups belong to nobody here.
        for (QWebEngineView* view : AllWebViews())
            if (view->isWindow())
                delete view;
    }

    void reportsWhatThePageAskedFor_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("disposition");
        QTest::addColumn<bool>("sized");
        QTest::newRow("window.open") << "openPopup()"
                                     << "/target?n=script" << int(engine::WOD_NEW_POPUP) << true;
        QTest::newRow("target=_blank")
            << "document.getElementById('blank').click()"
            << "/target?n=link" << int(engine::WOD_NEW_FOREGROUND_TAB) << false;
    }

    void reportsWhatThePageAskedFor()
    {
        QFETCH(QString, script);
        Handle(nullptr);
        LoadOpener();
        RunScript(view_->Browser(), script);
        QVERIFY(WaitFor([&] { return calls_.size() == 1; }));
        const PopupCall& call = calls_.first();
        QFETCH(QString, target);
        QCOMPARE(call.TargetUrl, server_.Url(target).toString());
        QTEST(int(call.Disposition), "disposition");
        QVERIFY(!call.UserGesture); // started by script, not by the user
        QCOMPARE(call.Browser, view_->Browser());
        QCOMPARE(call.FrameUrl, server_.Url("/opener").toString());
        QFETCH(bool, sized);
        if (sized) {
            QVERIFY(call.Features.WidthSet && call.Features.HeightSet);
            QCOMPARE(call.Features.Width, 320);
            QCOMPARE(call.Features.Height, 240);
        }
    }

    void userClickIsAGesture()
    {
        Handle(nullptr);
        LoadOpener();
        QVERIFY(engine_test::ClickElement(view_->Browser(), "#blank", Qt::LeftButton));
        QVERIFY(WaitFor([&] { return calls_.size() == 1; }));
        QVERIFY(calls_.first().UserGesture);
    }

    void popupIsMadeInsideTheGivenParent()
    {
        QWidget parent;
        parent.resize(700, 500);
        parent.show();
        Handle(&parent);
        LoadOpener();
        QCOMPARE(RunScript(view_->Browser(), "openPopup()").value_or(QVariant()).toString(),
                 QString("open"));
        QVERIFY(WaitFor([&] { return titles_.contains("Target script"); }));

        auto* window = parent.findChild<QWebEngineView*>("popup-1");
        QVERIFY(window);
        QCOMPARE(window->parentWidget(), &parent);
        QCOMPARE(window->geometry(), QRect(10, 20, 300, 200));
        QCOMPARE(window->url(), server_.Url("/target?n=script"));

        // The popup's events come through the first view, with the popup's own browser.
        const engine::BrowserRef popup = titles_.value("Target script");
        QVERIFY(popup);
        QVERIFY(popup->IsPopup());
        QVERIFY(popup->GetIdentifier() > view_->Browser()->GetIdentifier());
        QCOMPARE(popup->GetHost().GetWindowHandle(), window);
        QCOMPARE(popup->GetHost().GetWindowHandle()->parentWidget(), &parent);
        QCOMPARE(popup->GetMainFrame()->GetURL(), server_.Url("/target?n=script").toString());
    }

    void popupLoadingIsReportedThroughTheFirstView()
    {
        QWidget parent;
        Handle(&parent);
        QList<std::pair<engine::BrowserRef, bool>> loading;
        view_->OnLoadingStateChange = [&](auto*, const engine::BrowserRef& browser, bool isLoading,
                                          bool, bool) {
            loading << std::pair{browser, isLoading};
        };
        LoadOpener();
        loading.clear();
        RunScript(view_->Browser(), "openPopup()");
        QVERIFY(WaitFor([&] { return titles_.contains("Target script"); }));
        const engine::BrowserRef popup = titles_.value("Target script");
        QVERIFY(WaitFor([&] { return loading.contains(std::pair{popup, false}); }));
        QVERIFY(loading.contains(std::pair{popup, true}));
    }

    void popupWithoutParentIsATopLevelWindow()
    {
        Handle(nullptr);
        LoadOpener();
        RunScript(view_->Browser(), "openPopup()");
        QVERIFY(WaitFor([&] { return titles_.contains("Target script"); }));
        QWidget* window = titles_.value("Target script")->GetHost().GetWindowHandle();
        QVERIFY(window);
        QVERIFY(window->isWindow());
        QVERIFY(window->isVisible());
        QCOMPARE(window->objectName(), QString("popup-1"));
        QCOMPARE(window->size(), QSize(300, 200));
        QCOMPARE(window->windowTitle(), QString("Target script"));
    }

    void cancelledPopupMakesNoWindow()
    {
        view_->OnBeforePopup = [&](auto*, auto&, auto&, auto&, auto&, auto, auto, auto&, auto&,
                                   auto&, auto&, bool& result) {
            calls_ << PopupCall{};
            result = true;
        };
        LoadOpener();
        server_.ClearRequests();
        const int viewsBefore = int(AllWebViews().size());
        RunScript(view_->Browser(), "openPopup()");
        QVERIFY(WaitFor([&] { return calls_.size() == 1; }));
        // The engine decides after window.open has returned its window, which then closes.
        QVERIFY(WaitFor([&] {
            return RunScript(view_->Browser(), "window.popup.closed").value_or(false).toBool();
        }));
        QCOMPARE(int(AllWebViews().size()), viewsBefore);
        QVERIFY(server_.RequestsFor("/target").empty());
    }

    void popupOfAPopupReportsThroughTheFirstView()
    {
        QWidget parent;
        Handle(&parent);
        LoadOpener();
        RunScript(view_->Browser(), "window.open('/chain', 'first')");
        QVERIFY(WaitFor([&] { return titles_.contains("Target second"); }));
        QCOMPARE(calls_.size(), 2);
        const engine::BrowserRef first = titles_.value("Chain");
        const engine::BrowserRef second = titles_.value("Target second");
        QVERIFY(first && second);
        QCOMPARE(calls_[0].Browser, view_->Browser());
        QCOMPARE(calls_[1].Browser, first);
        QCOMPARE(calls_[1].TargetUrl, server_.Url("/target?n=second").toString());
        QVERIFY(second->IsPopup());
        QVERIFY(second->GetIdentifier() > first->GetIdentifier());
        QCOMPARE(second->GetHost().GetWindowHandle()->parentWidget(), &parent);
        QCOMPARE(second->GetHost().GetWindowHandle()->objectName(), QString("popup-2"));
    }

    // A top-level popup may outlive the view it came from; its page goes on harmlessly.
    void popupOutlivesTheFirstView()
    {
        Handle(nullptr);
        LoadOpener();
        RunScript(view_->Browser(), "openPopup()");
        QVERIFY(WaitFor([&] { return titles_.contains("Target script"); }));
        const engine::BrowserRef popup = titles_.value("Target script");
        view_.reset();
        const int views = int(AllWebViews().size());
        QCOMPARE(RunScript(popup, "document.title = 'after'; window.open('/target?n=orphan');"
                                  "window.close(); 'ran'")
                     .value_or(QVariant())
                     .toString(),
                 QString("ran"));
        popup->Reload();
        QVERIFY(WaitFor([&] { return popup->Page()->title() == "Target script"; }));
        QCOMPARE(int(AllWebViews().size()), views);
        QVERIFY(popup->GetHost().GetWindowHandle());
    }

private:
    // Records every popup and places it in `parent` (top-level when null) at 10,20 300x200.
    void Handle(QWidget* parent)
    {
        view_->OnBeforePopup =
            [this, parent](engine::TChromium* sender, const engine::BrowserRef& browser,
                           const engine::FrameRef& frame, const QString& targetUrl, const QString&,
                           engine::TWindowOpenDisposition disposition, bool userGesture,
                           const engine::PopupFeatures& features, engine::WindowInfo& windowInfo,
                           engine::BrowserSettings&, bool&, bool&) {
                QCOMPARE(sender, view_.get());
                calls_ << PopupCall{browser,     frame->GetURL(), targetUrl,
                                    disposition, userGesture,     features};
                windowInfo.ParentWindow = parent;
                windowInfo.X = 10;
                windowInfo.Y = 20;
                windowInfo.Width = 300;
                windowInfo.Height = 200;
                windowInfo.WindowName = QString("popup-%1").arg(calls_.size());
            };
    }

    void LoadOpener()
    {
        view_->Load(server_.Url("/opener").toString());
        QVERIFY(WaitFor([&] { return titles_.contains("Opener"); }));
    }

    TestServer server_;
    std::unique_ptr<engine::TChromium> view_;
    QList<PopupCall> calls_;
    QMap<QString, engine::BrowserRef> titles_;
};

int main(int argc, char** argv)
{
    return engine_test::RunEngineTest<PopupTest>(argc, argv);
}

#include "PopupTest.moc"
