#pragma once
// A real main window for UI tests. Its application directory is a temporary one whose
// [SERVICE] HOST is the test file's own loopback address, where the test's server
// listens on the service port: the start address the window composes itself (message
// 2040) opens the server's "/" in the start tab.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <set>

#include "engine/EngineProfile.h"
#include "support/TestHelpers.h"
#include "support/TestServer.h"
#include "ui/FormMain.h"

namespace testing_support
{

class MainWindowFixture
{
public:
    // The window's outer size; the strip is as wide as the window.
    static constexpr QSize DefaultSize{1200, 700};

    // Creates the window, shows it and waits until its start tab has loaded "/".
    // The server must listen on port 6868 of the test's own address and serve "/".
    std::unique_ptr<TFormMain> Open(const TestServer& server, QSize size = DefaultSize)
    {
        WriteConfig(server.Host(), size);
        auto form = std::make_unique<TFormMain>(appDir_.path() + QLatin1Char('/'));
        // Hiding is what a close request does when a tray exists; tests look for it.
        form->TrayAvailable = true;
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        const bool started = WaitFor([&] {
            TBrowserTab* start = form->FindTab(1);
            return form->PageControl1->PageCount() == 3 && start && start->Loaded;
        });
        return started ? std::move(form) : nullptr;
    }

    QString AppDir() const { return appDir_.path() + QLatin1Char('/'); }

private:
    void WriteConfig(const QString& host, QSize size)
    {
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
};

// Runs a script in the main frame of a tab's browser.
inline void RunScript(const TBrowserTab* tab, const QString& script)
{
    tab->Browser->GetMainFrame()->ExecuteJavaScript(script);
}

inline TBrowserTab* TabOfPage(const TFormMain& form, int index)
{
    TSkinTabSheet* page = form.PageControl1->Page(index);
    return page ? form.FindTab(page->Tag) : nullptr;
}

// Tabs shown on the strip.
inline int VisibleTabs(const TFormMain& form)
{
    int visible = 0;
    for (int i = 0; i < form.PageControl1->PageCount(); ++i)
        visible += form.PageControl1->Page(i)->TabVisible() ? 1 : 0;
    return visible;
}

// Empty when the pages follow the strip's layout once every popup has its tab: page 0
// hidden, page 1 the start tab, then the popup tabs with unique increasing ids, each
// registered, and last the hidden spare page with id NextTabId and no record.
inline QString PageLayoutProblem(const TFormMain& form)
{
    const TPageControl* pc = form.PageControl1;
    const int n = pc->PageCount();
    if (n < 3)
        return QStringLiteral("only %1 pages").arg(n);
    if (pc->Page(0)->TabVisible() || pc->Page(0)->Tag != 1)
        return QStringLiteral("page 0 is not the hidden page with id 1");
    if (!pc->Page(1)->TabVisible() || pc->Page(1)->Tag != 1 || form.FindTab(1)->Page != pc->Page(1))
        return QStringLiteral("page 1 is not the start tab");
    for (int i = 2; i <= n - 2; ++i) {
        const TSkinTabSheet* page = pc->Page(i);
        if (!page->TabVisible())
            return QStringLiteral("page %1 has a hidden tab").arg(i);
        if (page->Tag <= pc->Page(i - 1)->Tag)
            return QStringLiteral("page %1 id %2 does not increase").arg(i).arg(page->Tag);
        const TBrowserTab* tab = form.FindTab(page->Tag);
        if (!tab || tab->Page != page || !tab->IsPopup)
            return QStringLiteral("page %1 has no popup record of its own").arg(i);
    }
    const TSkinTabSheet* spare = pc->Page(n - 1);
    if (spare->TabVisible() || spare != form.SparePageWindow || spare->Tag != form.NextTabId ||
        form.FindTab(spare->Tag) || !spare->Caption().isEmpty())
        return QStringLiteral("page %1 is not the spare page").arg(n - 1);
    return {};
}

// Loads the engine's settings for a UI test binary; call before QApplication.
inline void PrepareUiTestProcess()
{
    PrepareHeadlessEngine();
    engine::PrepareEngineProcess({});
}

} // namespace testing_support

// main() of a UI test binary: the engine's settings and one profile for all its tests.
#define QUILLMARK_UI_TEST_MAIN(TestClass)                                                          \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        testing_support::PrepareUiTestProcess();                                                   \
        QApplication app(argc, argv);                                                              \
        QTemporaryDir cache;                                                                       \
        engine::CreateProfile(cache.path());                                                       \
        int rc = 0;                                                                                \
        {                                                                                          \
            TestClass test;                                                                        \
            rc = QTest::qExec(&test, argc, argv);                                                  \
        }                                                                                          \
        engine::ShutdownEngine();                                                                  \
        return rc;                                                                                 \
    }
