// The About window against the demo service's about page: borderless, centred, rounded
// with a silver frame, no context menu, closed by Escape (also when the page takes every
// key) and by the page itself, its tray entry disabled meanwhile; an unreachable or
// silent service still gives a window that Escape closes.

#include <QPushButton>
#include <QScreen>
#include <QWebEnginePage>

#include "DemoService.h"
#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "shared/Global.h"
#include "ui/FormAbout.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.8.1");
const QString SilentHost = QStringLiteral("127.44.8.2"); // takes the request, never answers
const QString UnreachableHost = QStringLiteral("127.44.8.3");

QVariant Evaluate(const TFormAbout& about, const QString& script)
{
    std::optional<QVariant> result;
    about.crm->Browser()->Page()->runJavaScript(script, [&](const QVariant& v) { result = v; });
    WaitFor([&] { return result.has_value(); });
    return result.value_or(QVariant());
}

bool AboutPageLoaded(const TFormAbout& about)
{
    return about.crm->Browser()->Page()->title() == QStringLiteral("关于 QuillmarkERP");
}

} // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(demo_.Start(Host.toStdString(), 6868) == 6868 && silent_.Port() == 6868,
                 "the test's own service addresses are taken");
    }

    // Lets the held answer go, so the server can stop.
    void cleanupTestCase() { held_.Open(); }

    void init()
    {
        form_ = fixture_.Open(Host);
        QVERIFY(form_);
    }

    void cleanup() { form_.reset(); }

    void shapedFramedCentredWithoutMenu()
    {
        TFormAbout about;
        // The page is on its way before the window shows.
        QCOMPARE(about.crm->Browser()->Page()->requestedUrl().toString(),
                 QStringLiteral("http://%1:6868/pcClient/about.html").arg(Host));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(WaitFor([&] { return AboutPageLoaded(about); }));
        QVERIFY(about.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(about.size(), QSize(488, 433));
        QCOMPARE(about.geometry().center(), about.screen()->availableGeometry().center());
        QCOMPARE(about.crm->geometry(), QRect(1, 1, 486, 431));

        // Window and view have rounded corners; the silver frame shows around the page.
        for (const QRegion& shape : {about.mask(), about.crm->mask().translated(1, 1)}) {
            const QRect box = shape.boundingRect();
            for (const QPoint corner :
                 {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
                QVERIFY(!shape.contains(corner));
            for (const QPoint edge :
                 {box.topLeft() + QPoint(2, 0), box.bottomRight() - QPoint(0, 2)})
                QVERIFY(shape.contains(edge));
        }
        const QImage shot = about.grab().toImage();
        for (const QPoint p : {QPoint(244, 0), QPoint(0, 216), QPoint(487, 216), QPoint(244, 432)})
            QCOMPARE(shot.pixelColor(p), QColor(192, 192, 192));

        // A right click reaches the view's menu handler, and no menu opens.
        int menuRequests = 0;
        auto handler = about.crm->OnBeforeContextMenu;
        about.crm->OnBeforeContextMenu = [&](auto&&... args) {
            ++menuRequests;
            handler(args...);
        };
        // Right clicks until the page has seen one: its first frames may miss input.
        Evaluate(about, "addEventListener('contextmenu', () => document.body.dataset.menu = 1)");
        QWidget* input = about.crm->Browser()->Window()->focusProxy();
        const QPoint middle(243, 215);
        const auto pageSawIt = [&] { return Evaluate(about, "document.body.dataset.menu") == "1"; };
        for (int tries = 0; tries < 20 && !pageSawIt(); ++tries) {
            QTest::mouseMove(input, middle);
            QTest::mousePress(input, Qt::RightButton, {}, middle);
            QTest::mouseRelease(input, Qt::RightButton, {}, middle);
        }
        QVERIFY(WaitFor([&] { return menuRequests >= 1; }));
        QCoreApplication::processEvents();
        QVERIFY(!QApplication::activePopupWidget());
    }

    void escapeClosesWhileThePageTakesEveryKey()
    {
        bool typed = false;
        QVERIFY(RunFromTray([&](TFormAbout& about) {
            Evaluate(about,
                     "const f = document.createElement('input'); document.body.append(f);"
                     "f.addEventListener('keydown', e => {"
                     "  f.dataset.keys = (f.dataset.keys || '') + e.key; e.preventDefault() });"
                     "f.focus()");
            about.crm->Browser()->Window()->setFocus();
            const auto pageHasKeys = [&] {
                return Evaluate(about, "f.dataset.keys || ''").toString().contains('a');
            };
            for (int tries = 0; tries < 20 && !pageHasKeys(); ++tries)
                QTest::keyClick(about.windowHandle(), Qt::Key_A);
            typed = pageHasKeys();
            QTest::keyClick(about.windowHandle(), Qt::Key_Escape);
        }));
        QVERIFY(typed);
    }

    void pageClosesItselfAndTheEntryComesBack()
    {
        QVERIFY(RunFromTray([&](TFormAbout& about) {
            QVERIFY(!form_->NAbout->isEnabled());
            form_->NAboutClick();
            QCOMPARE(OpenWindows(), 1);
            about.crm->Browser()->GetMainFrame()->ExecuteJavaScript(
                "document.querySelector('button').click()");
        }));
    }

    void trayIconWindowTakesClicksWhileAboutOrSettingsIsOpen()
    {
        for (QAction* entry : {form_->NAbout, form_->NSetting}) {
            QPushButton trayIcon;
            const auto click = [&](QDialog& dialog) {
                trayIcon.show();
                QTest::mousePress(trayIcon.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
                dialog.reject();
            };
            QVERIFY(window_life::RunModal<QDialog>([entry] { entry->trigger(); }, click));
            QVERIFY(trayIcon.isDown());
        }
    }

    void escapeClosesAPageThatNeverCame_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("service unreachable") << UnreachableHost;
        QTest::newRow("service never answers") << SilentHost;
    }

    void escapeClosesAPageThatNeverCame()
    {
        QFETCH(QString, host);
        ConfigFile().WriteString("SERVICE", "HOST", host.toStdString());
        QVERIFY(RunFromTray(
            [&](TFormAbout& about) {
                // The engine's own error page, inside the same frame.
                if (host == UnreachableHost)
                    QVERIFY(WaitFor([&] {
                        return Evaluate(about, "document.body.innerText")
                            .toString()
                            .contains("ERR_CONNECTION_REFUSED");
                    }));
                QTest::keyClick(about.windowHandle(), Qt::Key_Escape);
            },
            false));
    }

private:
    static int OpenWindows() { return int(window_life::VisibleWindows<TFormAbout>().size()); }

    // The window as the tray entry opens it, handed to `act` once it shows (and, with
    // `loaded`, once its page has loaded). True when what `act` did closed it and the
    // entry is enabled again.
    bool RunFromTray(const std::function<void(TFormAbout&)>& act, bool loaded = true)
    {
        return window_life::RunModal<TFormAbout>(
                   [this] { form_->NAbout->trigger(); }, act,
                   [loaded](TFormAbout& about) { return !loaded || AboutPageLoaded(about); }) &&
               form_->NAbout->isEnabled() && OpenWindows() == 0;
    }

    demo::DemoService demo_{demo::ServiceOptions{}};
    TestServer silent_{6868, SilentHost};
    HeldPage held_{silent_, QStringLiteral("/pcClient/about.html"), "never"};
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<AboutWindowTest>(argc, argv);
}

#include "AboutWindowTest.moc"
