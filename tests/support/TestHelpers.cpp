#include "support/TestHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <unistd.h>

namespace testing_support {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

ModalAnswerer::~ModalAnswerer()
{
    for (const auto& timer : timers_)
        delete timer.data();
}

void ModalAnswerer::Answer(QMessageBox::StandardButton button, int timeoutMs)
{
    auto* poll = new QTimer;
    timers_.push_back(poll);
    auto* elapsed = new QElapsedTimer;
    elapsed->start();
    QObject::connect(poll, &QTimer::destroyed, [elapsed] { delete elapsed; });
    QObject::connect(poll, &QTimer::timeout, [this, poll, elapsed, button, timeoutMs] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible()) {
            texts_ << box->text();
            if (QAbstractButton* b = box->button(button))
                b->click();
            else
                box->reject();
        } else if (elapsed->elapsed() < timeoutMs) {
            return;
        }
        poll->stop();
        poll->deleteLater();
    });
    poll->start(20);
}

void OnNextModal(std::function<bool(QWidget*)> act, int timeoutMs)
{
    auto* poll = new QTimer;
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    QObject::connect(poll, &QTimer::timeout, [poll, elapsed, act = std::move(act), timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool done = modal && modal->isVisible() && act(modal);
        if (!done && elapsed->elapsed() < timeoutMs)
            return;
        poll->stop();
        poll->deleteLater();
    });
    poll->start(20);
}

void PrepareHeadlessEngine()
{
    // Settings of the user's own (a file dialog's last directory, say) stay out of the
    // tests, and the tests' stay out of the user's.
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace testing_support
