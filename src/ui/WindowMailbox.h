#pragma once
// Posting to a window from any thread without outliving it: the window closes the
// mailbox in its destructor, after which posts are dropped.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <memory>
#include <mutex>

class TWindowMailbox {
public:
    explicit TWindowMailbox(QObject* window) : window_(window) {}

    // Takes ownership of the event; false when the window is gone.
    bool Post(QEvent* event)
    {
        std::lock_guard lock(mutex_);
        if (!window_) {
            delete event;
            return false;
        }
        QCoreApplication::postEvent(window_, event);
        return true;
    }
    void Close()
    {
        std::lock_guard lock(mutex_);
        window_ = nullptr;
    }
    bool IsOpen() const
    {
        std::lock_guard lock(mutex_);
        return window_ != nullptr;
    }

private:
    mutable std::mutex mutex_;
    QObject* window_;
};

using TWindowMailboxRef = std::shared_ptr<TWindowMailbox>;
