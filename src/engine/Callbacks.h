#pragma once
// Callbacks through which a handler answers the engine: a script dialog, a download.
//
// The engine waits for a script dialog's answer in a nested event loop; a download runs
// on meanwhile and takes its answer whenever it comes. A handler that keeps the callback
// may answer later, and a handler that shows a modal box runs a nested loop of its own.
// Meanwhile every other event is handled, so the rules are:
// - A callback released unanswered counts as cancelled.
// - Widgets that hold browsers (tabs, windows) are deleted with deleteLater(), never
//   directly, while a callback may be pending: the engine's objects must outlive the
//   nested loops on the stack.
// - Before such a widget goes, CloseBrowsersIn() (Chromium.h) closes its browsers: every
//   pending callback is abandoned (answered as cancelled, its OnAbandoned handlers run)
//   and the engine's own dialogs are closed, so the nested loops return.
// - A handler that asks the user while the engine waits closes its box in OnAbandoned.
// UI thread only.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace engine {

// State shared by a callback and the engine code waiting for it.
class CallbackState {
public:
    bool Settled() const { return settled_; }
    bool Abandoned() const { return abandoned_; }
    void Settle();
    // The browser went away: settles unanswered and runs the OnAbandoned handlers.
    void Abandon();
    // Runs `handler` when the state is abandoned; at once if it already is.
    void OnAbandoned(std::function<void()> handler);
    // Runs the event loop until Settle() (also called when the callback is released).
    void WaitUntilSettled();
    // Runs `handler` once, on Settle(); at once if already settled. Waits for nothing.
    void OnSettled(std::function<void()> handler);

private:
    bool settled_ = false;
    bool abandoned_ = false;
    std::function<void()> wake_;
    std::function<void()> settledHandler_;
    std::vector<std::function<void()>> abandonHandlers_;
};

class JsDialogCallback {
public:
    struct Answer {
        CallbackState State;
        bool Success = false;
        QString UserInput;
    };

    explicit JsDialogCallback(std::shared_ptr<Answer> answer) : answer_(std::move(answer)) {}
    ~JsDialogCallback();
    JsDialogCallback(const JsDialogCallback&) = delete;
    JsDialogCallback& operator=(const JsDialogCallback&) = delete;

    // Does nothing once the dialog was answered or abandoned.
    void Continue(bool success, const QString& userInput);
    // The page went away before an answer: close whatever asks the user.
    void OnAbandoned(std::function<void()> handler);
    bool IsAbandoned() const { return answer_->State.Abandoned(); }

private:
    std::shared_ptr<Answer> answer_;
};
using JsDialogCallbackRef = std::shared_ptr<JsDialogCallback>;

class DownloadCallback {
public:
    struct Answer {
        CallbackState State;
        bool Accepted = false;
        QString Path;
        bool ShowDialog = false;
    };

    explicit DownloadCallback(std::shared_ptr<Answer> answer) : answer_(std::move(answer)) {}
    ~DownloadCallback();
    DownloadCallback(const DownloadCallback&) = delete;
    DownloadCallback& operator=(const DownloadCallback&) = delete;

    // The downloaded file goes to `path` (a file name alone goes to the download
    // directory); with showDialog the user confirms or changes the place first. Until
    // then, and while the dialog asks, the engine keeps downloading into a part file.
    void Continue(const QString& path, bool showDialog);
    void OnAbandoned(std::function<void()> handler);
    bool IsAbandoned() const { return answer_->State.Abandoned(); }

private:
    std::shared_ptr<Answer> answer_;
};
using DownloadCallbackRef = std::shared_ptr<DownloadCallback>;

} // namespace engine
