#pragma once
// Helpers for headless Qt tests: answering modal boxes, waiting for conditions.

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <vector>

namespace testing_support {

// Runs the event loop until `condition` holds or `timeoutMs` passes; returns the condition.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 15000);

// Once a modal QMessageBox appears (within timeoutMs), records its text and presses
// `button` on it. One answer per call; the calls queue up.
class ModalAnswerer {
public:
    ModalAnswerer() = default;
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;
    // Stops waiting for boxes that have not come.
    ~ModalAnswerer();

    void Answer(QMessageBox::StandardButton button, int timeoutMs = 15000);
    // Texts of the boxes answered so far.
    QStringList Texts() const { return texts_; }
    int Answered() const { return int(texts_.size()); }

private:
    QStringList texts_;
    std::vector<QPointer<QTimer>> timers_;
};

// Once a modal dialog is showing (within timeoutMs), hands it to `act` until `act` says
// it is done with it (a dialog may still be settling when it first shows). Returns at once.
void OnNextModal(std::function<bool(QWidget*)> act, int timeoutMs = 15000);

// Sets up the environment engine tests need; call before QApplication.
void PrepareHeadlessEngine();

} // namespace testing_support
