#include "ui/BrowsingCommands.h"

#include <QApplication>
#include <QShortcut>
#include <QWebEngineView>
#include <QWheelEvent>

#include "ui/FindBar.h"
#include "ui/PageZoom.h"

namespace {

// One notch of a mouse wheel.
constexpr int WheelNotch = 120;

void FindAgain(QWebEngineView* view, bool backward)
{
    TFindBar* bar = TFindBar::Of(view);
    if (!bar || !bar->isVisible() || bar->Text().isEmpty()) {
        TFindBar::OpenFor(view);
        return;
    }
    if (backward)
        bar->FindPrevious();
    else
        bar->FindNext();
}

} // namespace

TBrowsingCommands::TBrowsingCommands(QWidget* window, ViewFinder currentView)
    : QObject(window), window_(window), currentView_(std::move(currentView))
{
    AddKey(QKeySequence(Qt::CTRL | Qt::Key_F), [](QWebEngineView* v) { TFindBar::OpenFor(v); });
    AddKey(QKeySequence(Qt::Key_F3), [](QWebEngineView* v) { FindAgain(v, false); });
    AddKey(QKeySequence(Qt::SHIFT | Qt::Key_F3), [](QWebEngineView* v) { FindAgain(v, true); });
    AddKey(QKeySequence(Qt::CTRL | Qt::Key_P), [this](QWebEngineView* v) { Print(v); });
    // Also on the number pad, whose keys carry a modifier of their own.
    for (const Qt::KeyboardModifiers ctrl :
         {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::KeypadModifier}) {
        for (const Qt::Key plus : {Qt::Key_Plus, Qt::Key_Equal})
            AddKey(QKeyCombination(ctrl, plus), [](QWebEngineView* v) { StepZoom(v, true); });
        AddKey(QKeyCombination(ctrl, Qt::Key_Minus), [](QWebEngineView* v) { StepZoom(v, false); });
        AddKey(QKeyCombination(ctrl, Qt::Key_0), [](QWebEngineView* v) { ResetZoom(v); });
    }
    AddKey(QKeySequence(Qt::ALT | Qt::Key_Left),
           [](QWebEngineView* v) { v->triggerPageAction(QWebEnginePage::Back); });
    AddKey(QKeySequence(Qt::ALT | Qt::Key_Right),
           [](QWebEngineView* v) { v->triggerPageAction(QWebEnginePage::Forward); });
    // The views' own widgets take the wheel first, so Ctrl+wheel is caught on the way.
    qApp->installEventFilter(this);
}

TBrowsingCommands::~TBrowsingCommands()
{
    qApp->removeEventFilter(this);
}

void TBrowsingCommands::Print(QWebEngineView* view)
{
    print_.Start(view);
}

void TBrowsingCommands::AddKey(const QKeySequence& keys,
                               std::function<void(QWebEngineView*)> command)
{
    auto* shortcut = new QShortcut(keys, window_);
    connect(shortcut, &QShortcut::activated, this, [this, command = std::move(command)] {
        if (QWebEngineView* view = currentView_())
            command(view);
    });
}

QWebEngineView* TBrowsingCommands::ViewUnder(QObject* receiver) const
{
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || widget->window() != window_)
        return nullptr;
    for (; widget; widget = widget->parentWidget())
        if (auto* view = qobject_cast<QWebEngineView*>(widget))
            return view;
    return nullptr;
}

bool TBrowsingCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    QWebEngineView* view = wheel->modifiers() & Qt::ControlModifier ? ViewUnder(watched) : nullptr;
    if (!view)
        return QObject::eventFilter(watched, event);
    wheelRest_ += wheel->angleDelta().y();
    for (; wheelRest_ >= WheelNotch; wheelRest_ -= WheelNotch)
        StepZoom(view, true);
    for (; wheelRest_ <= -WheelNotch; wheelRest_ += WheelNotch)
        StepZoom(view, false);
    return true;
}
