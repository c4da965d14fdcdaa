#include "engine/Callbacks.h"

#include <QEventLoop>
#include <utility>

namespace engine {

void CallbackState::Settle()
{
    if (settled_)
        return;
    settled_ = true;
    if (wake_)
        wake_();
    if (settledHandler_)
        std::exchange(settledHandler_, nullptr)();
}

void CallbackState::Abandon()
{
    if (abandoned_)
        return;
    abandoned_ = true;
    // Handlers may close boxes whose loops end later; take them off the list first.
    const auto handlers = std::move(abandonHandlers_);
    abandonHandlers_.clear();
    for (const auto& handler : handlers)
        handler();
    Settle();
}

void CallbackState::OnAbandoned(std::function<void()> handler)
{
    if (abandoned_)
        handler();
    else
        abandonHandlers_.push_back(std::move(handler));
}

void CallbackState::WaitUntilSettled()
{
    if (settled_)
        return;
    QEventLoop loop;
    wake_ = [&loop] { loop.quit(); };
    loop.exec();
    wake_ = nullptr;
}

void CallbackState::OnSettled(std::function<void()> handler)
{
    if (settled_)
        handler();
    else
        settledHandler_ = std::move(handler);
}

JsDialogCallback::~JsDialogCallback()
{
    answer_->State.Settle();
}

void JsDialogCallback::Continue(bool success, const QString& userInput)
{
    if (answer_->State.Settled())
        return;
    answer_->Success = success;
    answer_->UserInput = userInput;
    answer_->State.Settle();
}

void JsDialogCallback::OnAbandoned(std::function<void()> handler)
{
    answer_->State.OnAbandoned(std::move(handler));
}

DownloadCallback::~DownloadCallback()
{
    answer_->State.Settle();
}

void DownloadCallback::Continue(const QString& path, bool showDialog)
{
    if (answer_->State.Settled())
        return;
    answer_->Accepted = true;
    answer_->Path = path;
    answer_->ShowDialog = showDialog;
    answer_->State.Settle();
}

void DownloadCallback::OnAbandoned(std::function<void()> handler)
{
    answer_->State.OnAbandoned(std::move(handler));
}

} // namespace engine
