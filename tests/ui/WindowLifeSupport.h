#pragma once
// Helpers for the tests of the main window's life: a temporary application directory
// with its config.ini, the window made the way start-up makes it, a wait for its two
// background tasks, and a watcher that inspects and answers message boxes.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <atomic>
#include <functional>
#include <memory>

#include "engine/EngineProfile.h"
#include "shared/Global.h"
#include "support/TestHelpers.h"
#include "ui/FormMain.h"
#include "ui/Translations.h"

namespace window_life {

// Counts what the window's two background tasks log about their end, so a test can wait
// for them before it moves on (they read AppDir, which the next window replaces).
class TaskLog {
public:
    static void Install() { previous_ = qInstallMessageHandler(&Handle); }
    static int UpdateChecks() { return updateChecks_; }
    static int StartAddressFailures() { return startFailures_; }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (qstrcmp(context.category, "quillmark.service") == 0) {
            if (text.startsWith(QLatin1String("update check:")))
                ++updateChecks_;
            else if (text.startsWith(QLatin1String("start address:")))
                ++startFailures_;
        }
        if (previous_)
            previous_(type, context, text);
    }
    static inline QtMessageHandler previous_ = nullptr;
    static inline std::atomic<int> updateChecks_{0};
    static inline std::atomic<int> startFailures_{0};
};

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

// A temporary application directory and the main window made in it.
class WindowUnderTest {
public:
    // `config` is written to config.ini as it is; it must name the test's own service
    // host, so the window's update check never meets anyone else's server.
    explicit WindowUnderTest(const QByteArray& config) { WriteBytes(ConfigPath(), config); }
    ~WindowUnderTest()
    {
        if (form_)
            Settle();
    }

    QString AppDirPath() const { return dir_.path() + QLatin1Char('/'); }
    QString ConfigPath() const { return dir_.filePath(QStringLiteral("config.ini")); }
    QByteArray Config() const { return ReadBytes(ConfigPath()); }

    // Creates the window as start-up does, without showing it.
    TFormMain& Create()
    {
        updateChecksBefore_ = TaskLog::UpdateChecks();
        startFailuresBefore_ = TaskLog::StartAddressFailures();
        AppDir = AppDirPath();
        form_ = std::make_unique<TFormMain>();
        QObject::connect(form_.get(), &TFormMain::Closed, [this] { ++closed_; });
        return *form_;
    }
    // Creates and shows the window as start-up does.
    TFormMain& Open()
    {
        Create().show();
        QApplication::processEvents();
        return *form_;
    }
    TFormMain& Form() { return *form_; }
    // How often the window has emitted Closed().
    int ClosedCount() const { return closed_; }

    // Waits until both background tasks are done: the start tab exists (or making the
    // address failed) and the update check has given up on the absent service.
    bool Settle()
    {
        return testing_support::WaitFor(
            [this] {
                const bool started = form_->PageControl1->PageCount() >= 3 ||
                                     TaskLog::StartAddressFailures() > startFailuresBefore_;
                return started && TaskLog::UpdateChecks() > updateChecksBefore_;
            },
            30000);
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<TFormMain> form_;
    int closed_ = 0;
    int updateChecksBefore_ = 0;
    int startFailuresBefore_ = 0;
};

// What a message box looked like when it was answered.
struct SeenBox {
    QString Text;
    QString Title;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons Buttons;
    QStringList ButtonTexts; // in the order of Buttons' bits
    bool OnUiThread = false;
    QPointer<QWidget> Parent;
    Qt::WindowModality Modality = Qt::NonModal;
    QString CheckBoxText; // empty: the box had none
    Qt::TextFormat Format = Qt::AutoText;
    QString FieldText; // what the text field held when the box showed; empty: none
    int Width = 0;
};

// While it lives, answers every modal message box that appears: with the next of the
// planned answers, else with `fallback`. QMessageBox::NoButton closes the box with the
// frame's close button instead (which, like Esc, picks the box's escape button).
class BoxWatcher {
public:
    explicit BoxWatcher(QMessageBox::StandardButton fallback = QMessageBox::No)
        : fallback_(fallback)
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Poll(); });
        timer_.start(20);
    }
    void Plan(QMessageBox::StandardButton answer) { planned_ << answer; }
    // Ticks the check box of every box that has one before answering it.
    void TickCheckBoxes(bool tick) { tick_ = tick; }
    // Types `text` into the text field of every box that has one before answering it.
    void TypeIntoFields(const QString& text) { typed_ = text; }
    const QList<SeenBox>& Seen() const { return seen_; }

private:
    void Poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == last_)
            return;
        last_ = box;
        SeenBox seen;
        seen.Text = box->text();
        seen.Title = box->windowTitle();
        seen.Icon = box->icon();
        seen.Buttons = box->standardButtons();
        for (int bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1)
            if (QAbstractButton* b = box->button(QMessageBox::StandardButton(bit)))
                seen.ButtonTexts << b->text();
        seen.OnUiThread = box->thread() == qApp->thread();
        seen.Parent = box->parentWidget();
        seen.Modality = box->windowModality();
        seen.Width = box->width();
        if (QCheckBox* check = box->checkBox()) {
            seen.CheckBoxText = check->text();
            check->setChecked(tick_);
        }
        seen.Format = box->textFormat();
        if (auto* field = box->findChild<QLineEdit*>()) {
            seen.FieldText = field->text();
            if (!typed_.isNull())
                field->setText(typed_);
        }
        seen_ << seen;
        const QMessageBox::StandardButton answer =
            planned_.isEmpty() ? fallback_ : planned_.takeFirst();
        if (QAbstractButton* b = box->button(answer))
            b->click();
        else
            box->close();
    }

    QTimer timer_;
    QMessageBox::StandardButton fallback_;
    QList<QMessageBox::StandardButton> planned_;
    bool tick_ = false;
    QString typed_;
    QList<SeenBox> seen_;
    QPointer<QMessageBox> last_;
};

// The shown top-level windows of one kind.
template <class Window> QList<Window*> VisibleWindows()
{
    QList<Window*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            windows << window;
    return windows;
}

// Calls `open`, which shows a modal Dialog and returns once it has closed, and hands the
// dialog to `act` as soon as it shows and `ready` holds. True when what `act` did closed
// it; otherwise the test has failed and the dialog is closed for it.
template <class Dialog>
bool RunModal(
    const std::function<void()>& open, const std::function<void(Dialog&)>& act,
    const std::function<bool(Dialog&)>& ready = [](Dialog&) { return true; })
{
    bool closed = false;
    testing_support::OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (!dialog || !ready(*dialog))
            return false;
        act(*dialog);
        closed = !QTest::currentTestFailed() &&
                 testing_support::WaitFor([&] { return !dialog->isVisible(); });
        dialog->reject();
        return true;
    });
    open();
    return closed;
}

// The whole main() of a window test: the engine's process set-up, Qt's Chinese button
// texts, no quitting when the window hides, and an engine profile in a temporary
// directory that is removed at the end.
template <class Test> int RunWindowTest(int argc, char** argv)
{
    testing_support::PrepareHeadlessEngine();
    engine::PrepareEngineProcess({});
    QApplication app(argc, argv);
    // The client keeps running with only its tray icon when the window hides.
    QApplication::setQuitOnLastWindowClosed(false);
    LoadChineseTranslations(app);
    QTemporaryDir cache;
    cache.setAutoRemove(false);
    engine::CreateProfile(cache.filePath(QStringLiteral("cache")));
    int rc = 0;
    {
        Test test;
        rc = QTest::qExec(&test, argc, argv);
    }
    // QTest leaves its handler behind, which must not see the engine's last words.
    qInstallMessageHandler(nullptr);
    engine::ShutdownEngine();
    // The engine lets go of its files a little after shutting down.
    QDir dir(cache.path());
    testing_support::WaitFor([&] { return dir.removeRecursively(); }, 10000);
    return rc;
}

} // namespace window_life
