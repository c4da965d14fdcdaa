#pragma once
// Pieces shared by the engine tests: the program entry, a script call that waits for
// its result, and answering the next modal dialog.

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <functional>
#include <optional>

#include "engine/Browser.h"
#include "engine/EngineProfile.h"
#include "support/TestHelpers.h"

namespace engine_test
{

// Runs `script` in the browser's page and waits for its result; nullopt when none came.
inline std::optional<QVariant> RunScript(const engine::BrowserRef& browser, const QString& script)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    browser->Page()->runJavaScript(script, [result](const QVariant& v) { *result = v; });
    testing_support::WaitFor([&] { return result->has_value(); });
    return *result;
}

// Once a modal dialog is showing (within timeoutMs), hands it to `act`. Returns at once.
inline void OnNextModal(std::function<void(QWidget*)> act, int timeoutMs = 15000)
{
    auto* poll = new QTimer;
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    QObject::connect(poll, &QTimer::timeout, [poll, elapsed, act, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible())
            act(modal);
        else if (elapsed->elapsed() < timeoutMs)
            return;
        poll->stop();
        poll->deleteLater();
    });
    poll->start(20);
}

// The program entry of one test class: engine switches, application, one profile.
template <class TestClass> int RunEngineTest(int argc, char** argv)
{
    testing_support::PrepareHeadlessEngine();
    engine::PrepareEngineProcess({});
    QApplication app(argc, argv);
    QTemporaryDir cache;
    engine::CreateProfile(cache.path());
    int rc = 0;
    {
        TestClass test;
        rc = QTest::qExec(&test, argc, argv);
    }
    engine::ShutdownEngine();
    return rc;
}

} // namespace engine_test
