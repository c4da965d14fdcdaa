#pragma once
// A real main window for UI tests. Its application directory is a temporary one whose
// [SERVICE] HOST is the test file's own loopback address, where the test's server
// listens on the service port: the start address the window composes itself (message
// 2040) opens the server's "/" in the start tab.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <httplib.h>
#include <memory>
#include <thread>

#include "shared/Global.h"
#include "support/TestHelpers.h"
#include "support/TestServer.h"
#include "ui/DownloadsPanel.h"
#include "ui/FormMain.h"
#include "ui/PopupGate.h"
#include "ui/Restarter.h"
#include "ui/ServiceConnection.h"
#include "ui/StripController.h"
#include "ui/TabBook.h"
#include "ui/TrayNotifier.h"
#include "ui/WindowPlacement.h"

namespace testing_support {

class MainWindowFixture {
public:
    // The window's outer size; the strip is as wide as the window.
    static constexpr QSize DefaultSize{1200, 700};

    // Creates the window, shows it and waits until its start tab has loaded "/".
    // The server must listen on port 6868 of the test's own address and serve "/".
    std::unique_ptr<TFormMain> Open(const TestServer& server, QSize size = DefaultSize,
                                    TFormMainOptions options = {})
    {
        return Open(server.Host(), size, std::move(options));
    }
    // The same with another server on port 6868 of `host`.
    std::unique_ptr<TFormMain> Open(const QString& host, QSize size = DefaultSize,
                                    TFormMainOptions options = {})
    {
        WriteConfig(host, size);
        AppDir = appDir_.path() + QLatin1Char('/');
        auto form = std::make_unique<TFormMain>(std::move(options));
        // Hiding is what a close request does when a tray exists; tests look for it.
        form->TrayAvailable = true;
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        const bool started = WaitFor([&] {
            TBrowserTab* start = form->Tabs().Find(1);
            return form->PageControl1->PageCount() == 3 && start && start->Loaded;
        });
        return started ? std::move(form) : nullptr;
    }

    // Opens a window again on the application directory as the last one left it, as a
    // restart of the client finds it.
    std::unique_ptr<TFormMain> Restart(const TestServer& server)
    {
        keepConfig_ = true;
        auto form = Open(server);
        keepConfig_ = false;
        return form;
    }

    QString ConfigPath() const { return appDir_.filePath(QStringLiteral("config.ini")); }

private:
    void WriteConfig(const QString& host, QSize size)
    {
        if (keepConfig_)
            return;
        QFile config(appDir_.filePath(QStringLiteral("config.ini")));
        config.open(QIODevice::WriteOnly | QIODevice::Truncate);
        config.write(QStringLiteral("[SERVICE]\nHOST=%1\n[WIN]\nLEFT=0\nTOP=0\nRIGHT=%2\n"
                                    "BOTTOM=%3\nSTATE=0\n")
                         .arg(host)
                         .arg(size.width())
                         .arg(size.height())
                         .toUtf8());
    }

    QTemporaryDir appDir_;
    bool keepConfig_ = false;
};

// Runs a script in the main frame of a tab's browser.
inline void RunScript(const TBrowserTab* tab, const QString& script)
{
    tab->Browser->GetMainFrame()->ExecuteJavaScript(script);
}

inline TBrowserTab* TabOfPage(const TFormMain& form, int index)
{
    TSkinTabSheet* page = form.PageControl1->Page(index);
    return form.Tabs().Of(page);
}

// The service's side of a window's start: `startPage` as "/" (the start address's path)
// and a version file naming our own version, so the update check finds nothing to do.
inline void ServeService(TestServer& server, const QByteArray& startPage)
{
    server.Page("/", startPage);
    server.Page("/ver/ver.html", R"({"Version":"1.0.0.2","Info":""})");
}

// Serves "/popup?i=N" as a page titled "Popup N".
inline void ServePopupPages(TestServer& server)
{
    server.Handle("/popup", [](const httplib::Request& req, httplib::Response& res) {
        const std::string i = req.get_param_value("i");
        res.set_content("<html><head><title>Popup " + i + "</title></head><body>" + i +
                            "</body></html>",
                        "text/html; charset=utf-8");
    });
}

// The plain service most tab tests need: a start page titled "Start" and the popups.
inline void ServeStartAndPopups(TestServer& server)
{
    ServeService(server, "<html><head><title>Start</title></head><body>start</body></html>");
    ServePopupPages(server);
}

// Opens "/popup?i=0" to "/popup?i=count-1" from the start tab in one script and waits
// until each has its tab and its title, in opening order after the tabs already open.
inline bool OpenPopups(TFormMain& form, int count, int timeoutMs = 15000)
{
    const int first = form.PageControl1->PageCount() - 1;
    RunScript(
        form.Tabs().Find(1),
        QStringLiteral("for (let i = 0; i < %1; ++i) window.open('/popup?i=' + i)").arg(count));
    return WaitFor(
        [&] {
            if (form.PageControl1->PageCount() < first + count + 1)
                return false;
            for (int i = 0; i < count; ++i) {
                const TSkinTabSheet* page = form.PageControl1->Page(first + i);
                if (!page->TabVisible() || page->Caption() != QStringLiteral("Popup %1").arg(i))
                    return false;
            }
            return true;
        },
        timeoutMs);
}

// Writes a print view into a blank popup at once, and a page into another one later: the
// usual way of ERP pages to show a report or a print view in a window of its own.
constexpr char WriteIntoBlankPopups[] =
    "var w = window.open(''); w.document.write('<title>打印预览</title><p>报表</p>"
    "<button onclick=\"window.print()\">打印</button>'); w.document.close();"
    "var v = window.open('about:blank'); setTimeout(function () {"
    "v.document.write('<title>稍后</title><p>later</p>'); v.document.close(); }, 1500);";

// Serves `path` as a page titled `title` whose answer is held back until Open() (or for
// at most 20 s), so a tab can be watched while it loads.
class HeldPage {
public:
    HeldPage(TestServer& server, const QString& path, const std::string& title)
    {
        server.Handle(path, [open = open_, title](const httplib::Request&, httplib::Response& res) {
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!*open && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            res.set_content("<html><head><title>" + title +
                                "</title></head><body>held</body></html>",
                            "text/html; charset=utf-8");
        });
    }
    void Open() { *open_ = true; }
    void Hold() { *open_ = false; }

private:
    std::shared_ptr<std::atomic<bool>> open_ = std::make_shared<std::atomic<bool>>(false);
};

// Counts the close requests a window receives.
class CloseRequestCounter : public QObject {
public:
    explicit CloseRequestCounter(QObject* window) { window->installEventFilter(this); }
    int Count() const { return count_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            ++count_;
        return false;
    }

private:
    int count_ = 0;
};

// Posts a numbered message to the window and has it handled at once.
inline void Deliver(TFormMain& form, QEvent* message)
{
    const QEvent::Type type = message->type();
    form.PostMessage(message);
    QCoreApplication::sendPostedEvents(&form, type);
}

// A left click on a tab of the strip; never taken as the second half of a double click.
inline void ClickTab(TFormMain& form, int pageIndex)
{
    form.StripControl().ForgetPress();
    QTest::mouseClick(form.PageControl1->Strip(), Qt::LeftButton, {},
                      form.PageControl1->TabRect(pageIndex).center());
}

// Tabs shown on the strip.
inline int VisibleTabs(const TFormMain& form)
{
    int visible = 0;
    for (int i = 0; i < form.PageControl1->PageCount(); ++i)
        visible += form.PageControl1->Page(i)->TabVisible() ? 1 : 0;
    return visible;
}

} // namespace testing_support
