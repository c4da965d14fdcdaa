#pragma once
// Callbacks through which a handler answers the engine: a script dialog, a download.
// The engine waits for the answer: a handler that keeps the callback may answer later
// (the engine keeps the UI responsive meanwhile); a callback released unanswered
// counts as cancelled.

#include <QString>
#include <functional>
#include <memory>

class QWebEngineDownloadRequest;

namespace engine {

// State shared by a callback and the engine code waiting for it.
class CallbackState {
public:
    bool Settled() const { return settled_; }
    void Settle();
    // Runs the event loop until Settle() (also called when the callback is released).
    void WaitUntilSettled();

private:
    bool settled_ = false;
    std::function<void()> wake_;
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

    void Continue(bool success, const QString& userInput);

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

    // Lets the download go on to `path` (a file name alone goes to the download
    // directory); with showDialog the user confirms or changes the place first.
    void Continue(const QString& path, bool showDialog);

private:
    std::shared_ptr<Answer> answer_;
};
using DownloadCallbackRef = std::shared_ptr<DownloadCallback>;

} // namespace engine
