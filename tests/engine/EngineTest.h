#pragma once
// Pieces shared by the engine tests: the program entry, a script call that waits for
// its result, and answering the next modal dialog.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <functional>
#include <optional>

#include "engine/Browser.h"
#include "engine/Chromium.h"
#include "engine/EngineProfile.h"
#include "support/TestHelpers.h"

namespace engine_test {

// A valid 1x1 PNG picture.
inline QByteArray Png()
{
    return QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwH"
        "wAFBQIAX8jx0gAAAABJRU5ErkJggg==");
}

// Runs `script` in the browser's page and waits for its result; nullopt when none came.
inline std::optional<QVariant> RunScript(const engine::BrowserRef& browser, const QString& script)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    browser->Page()->runJavaScript(script, [result](const QVariant& v) { *result = v; });
    testing_support::WaitFor([&] { return result->has_value(); });
    return *result;
}

// Makes the view's popups inside `parent` (top-level windows when null), filling it.
inline void OpenPopupsIn(engine::TChromium& view, QWidget* parent)
{
    view.OnBeforePopup = [parent](auto*, auto&, auto&, auto&, auto&, auto, auto, auto&,
                                  engine::WindowInfo& windowInfo, auto&, auto&,
                                  auto&) { windowInfo.ParentWindow = parent; };
}

// Presses and releases `button` over the middle of the element `selector`, as a user
// would, on the widget that takes the browser's input.
inline bool ClickElement(const engine::BrowserRef& browser, const QString& selector,
                         Qt::MouseButton button)
{
    const auto middle = RunScript(browser, QString("(() => { const r = document.querySelector("
                                                   "'%1').getBoundingClientRect();"
                                                   "return [r.x + r.width / 2, r.y + r.height / 2];"
                                                   "})()")
                                               .arg(selector));
    const QVariantList xy = middle.value_or(QVariant()).toList();
    if (xy.size() != 2 || !browser->Window())
        return false;
    const QPoint pos(xy[0].toInt(), xy[1].toInt());
    QWidget* input = browser->Window()->focusProxy();
    if (!input)
        return false;
    QTest::mouseMove(input, pos);
    QTest::mousePress(input, button, {}, pos);
    QTest::mouseRelease(input, button, {}, pos);
    return true;
}

using testing_support::OnNextModal;

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
