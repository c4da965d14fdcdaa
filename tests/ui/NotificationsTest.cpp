// Web notifications of real pages through the main window: allowed for the service's own
// origin only, shown as the tray's balloon with the icon blinking while unread, and a
// balloon click is a tip click that hands the argument, intact whatever it holds, to the
// service page's tipClickHandle and brings the window back.

#include <QTest>

#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "ui/PostedMessages.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.47.8.1");

// The service's page: notify() asks for the permission and shows a notification;
// tipClickHandle writes the code points of its argument into the title, so any
// argument arrives there readably.
const QByteArray ServicePage = R"(<html><head><title>Start</title></head><body><script>
async function notify(title, body, tag) {
  const permission = await Notification.requestPermission();
  if (permission !== 'granted') { document.title = 'permission:' + permission; return; }
  new Notification(title, tag === undefined ? {body} : {body, tag});
}
function tipClickHandle(argument) {
  document.title = 'tip:' + Array.from(argument).map(c => c.codePointAt(0)).join(',');
}
</script></body></html>)";

QString CodePoints(const QString& text)
{
    QStringList points;
    for (char32_t c : text.toUcs4())
        points << QString::number(c);
    return QStringLiteral("tip:") + points.join(QLatin1Char(','));
}

QString PageTitle(const TBrowserTab* tab)
{
    return tab->Browser->Page()->title();
}

QString ScriptString(const QString& text)
{
    QString literal = QStringLiteral("'");
    for (QChar c : text)
        literal += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return literal + QLatin1Char('\'');
}

} // namespace

class NotificationsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        ServeService(server_, ServicePage);
        ServePopupPages(server_);
        // The same page from another origin: the same host on another port.
        other_.Page("/", ServicePage);
    }

    void init()
    {
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
    }

    void cleanup() { form_.reset(); }

    void balloonClickReachesTheServicePage_data()
    {
        QTest::addColumn<QString>("tag"); // null: the notification has none
        QTest::addColumn<QString>("argument");
        QTest::newRow("tag") << "order-42"
                             << "order-42";
        QTest::newRow("no tag: the body") << QString() << "新的审批 3 条";
        const QString hostile =
            QStringLiteral("');alert(1);//\" \\ \n\r </script><b>x</b> \u2028\u2029 '`${1}`");
        QTest::newRow("quotes and script") << hostile << hostile;
    }

    void balloonClickReachesTheServicePage()
    {
        QFETCH(QString, tag);
        QFETCH(QString, argument);
        TFormMain& form = *form_;
        // A popup tab is active and the window is in the tray.
        QVERIFY(OpenPopups(form, 1));
        form.close();
        QVERIFY(!form.isVisible());

        TBrowserTab* start = form.Tabs().Find(1);
        RunScript(start, QStringLiteral("notify('审批提醒', '新的审批 3 条'%1)")
                             .arg(tag.isNull() ? QString() : ", " + ScriptString(tag)));
        const TTrayNotifier& tray = form.TrayNotifier();
        QVERIFY(WaitFor([&] { return tray.Shown(); }));
        QCOMPARE(tray.Shown()->Title, QStringLiteral("审批提醒"));
        QCOMPARE(tray.Shown()->Body, QStringLiteral("新的审批 3 条"));
        QCOMPARE(tray.Shown()->Argument, argument);
        QVERIFY(tray.Unread());

        emit form.TrayIcon1->messageClicked();
        QVERIFY(WaitFor([&] { return PageTitle(start) == CodePoints(argument); }));
        QVERIFY(form.isVisible());
        QVERIFY(!tray.Unread() && !tray.Shown());
        QCOMPARE(PageTitle(TabOfPage(form, 2)), QStringLiteral("Popup 0"));
    }

    void otherOriginsAreDenied()
    {
        TFormMain& form = *form_;
        RunScript(form.Tabs().Find(1),
                  QStringLiteral("window.open('%1')").arg(other_.Url("/").toString()));
        QVERIFY(WaitFor([&] {
            const TBrowserTab* tab = TabOfPage(form, 2);
            return tab && tab->Browser && PageTitle(tab) == QLatin1String("Start");
        }));
        TBrowserTab* other = TabOfPage(form, 2);
        RunScript(other, QStringLiteral("notify('from elsewhere', 'body', 'x')"));
        QVERIFY(WaitFor([&] { return PageTitle(other) == QLatin1String("permission:denied"); }));
        QVERIFY(!form.TrayNotifier().Shown() && !form.TrayNotifier().Unread());
    }

    // A flood keeps the first balloon up and only the latest waiting for it.
    void floodShowsOneBalloonAtATime()
    {
        const TTrayNotifier& tray = form_->TrayNotifier();
        TBrowserTab* start = form_->Tabs().Find(1);
        RunScript(start, QStringLiteral("(async () => { for (let i = 0; i < 200; ++i)"
                                        "  await notify('n' + i, 'body ' + i, 'n' + i); })()"));
        QVERIFY(WaitFor([&] { return tray.Waiting() && tray.Waiting()->Argument == "n199"; }));
        QCOMPARE(tray.Shown()->Argument, QStringLiteral("n0"));
        emit form_->TrayIcon1->messageClicked();
        QVERIFY(WaitFor([&] { return PageTitle(start) == CodePoints("n0"); }));
        QCOMPARE(tray.Shown()->Argument, QStringLiteral("n199"));
        QVERIFY(!tray.Waiting());
    }

    // Message 2029 itself: the service tab's page gets the argument, a minimised window
    // comes back maximised.
    void tipClickRestoresAMinimisedWindowMaximised()
    {
        TFormMain& form = *form_;
        form.showMinimized();
        Deliver(form, new TTipClickMessage(QStringLiteral("abc")));
        QVERIFY(WaitFor([&] { return PageTitle(form.Tabs().Find(1)) == CodePoints("abc"); }));
        QVERIFY(form.isMaximized());
    }

private:
    TestServer server_{6868, Host};
    TestServer other_{0, Host};
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<NotificationsTest>(argc, argv);
}

#include "NotificationsTest.moc"
