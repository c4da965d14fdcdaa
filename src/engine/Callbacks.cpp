#include "engine/Callbacks.h"

#include <QEventLoop>

namespace engine {

void CallbackState::Settle()
{
    if (settled_)
        return;
    settled_ = true;
    if (wake_)
        wake_();
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

} // namespace engine
