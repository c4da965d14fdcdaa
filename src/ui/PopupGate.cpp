#include "ui/PopupGate.h"

#include "ui/HeldBackNote.h"
#include "ui/PopupRefusal.h"
#include "ui/SteadyClock.h"
#include "ui/WindowBounds.h"

namespace {

core::TPopupBounds ReadBounds(const core::IniFile& ini)
{
    const TPopupSettings settings = TPopupSettings::Read(ini);
    return core::TPopupBounds(settings.MaxTabs, settings.ChainLimit);
}

} // namespace

TPopupGate::TPopupGate(const core::IniFile& ini, QWidget* strip)
    : strip_(strip), bounds_(ReadBounds(ini))
{}

bool TPopupGate::AdmitPopup(int chain, bool userGesture, int openTabs, QWebEnginePage* page)
{
    const auto verdict = bounds_.Admit(chain, userGesture, openTabs, qint64(SteadyMilliseconds()));
    if (verdict == core::TPopupBounds::Open)
        return true;
    HoldBackPopup(verdict);
    RefuseScriptPopups(page);
    return false;
}

std::optional<int> TPopupGate::AdmitWindow()
{
    TWindowBounds& bounds = TWindowBounds::Instance();
    const int chain = bounds.NewChain();
    if (bounds.Admit(chain, true) != core::TPopupBounds::Open) {
        HoldBackWindow();
        return std::nullopt;
    }
    bounds.Made();
    return chain;
}

int TPopupGate::PopupsHeldBack() const
{
    return popupNote_ ? popupNote_->Count() : 0;
}

int TPopupGate::WindowsHeldBack() const
{
    return windowNote_ ? windowNote_->Count() : 0;
}

void TPopupGate::HoldBackPopup(core::TPopupBounds::TVerdict verdict)
{
    if (!popupNote_)
        popupNote_ = new THeldBackNote(strip_, QStringLiteral("已阻止此页面的弹出窗口"),
                                       QStringLiteral("popups"));
    if (verdict == core::TPopupBounds::TooManyTabs)
        popupNote_->HoldBack(QStringLiteral("最多可同时打开 %1 个标签页").arg(bounds_.MaxTabs()),
                             QStringLiteral("too many open tabs"));
    else
        popupNote_->HoldBack(QStringLiteral("此页面短时间内打开的弹出窗口过多"),
                             QStringLiteral("too many popups without a user gesture"));
}

void TPopupGate::HoldBackWindow()
{
    if (!windowNote_)
        windowNote_ = new THeldBackNote(strip_, QStringLiteral("已阻止 %1 个浏览器窗口"),
                                        QStringLiteral("secondary windows"));
    windowNote_->HoldBack(QStringLiteral("最多可同时打开 %1 个浏览器窗口")
                              .arg(TWindowBounds::Instance().MaxWindows()),
                          QStringLiteral("too many secondary windows"));
}
