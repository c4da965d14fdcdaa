// Bounds on popups: a page cannot open more than MAXTABS tabs, nor more than MAXPOPUPS
// popups without a user gesture per chain in any 10 s; once over a bound, the engine
// refuses that page's further popups itself for a while. What is held back is told once
// per burst, in a note at the end of the strip; so are secondary windows over their own
// bound, with their count.

#include "core/IniFile.h"
#include "ui/FormMain.h"
#include "ui/HeldBackNote.h"
#include "ui/WindowBounds.h"

void TFormMain::ReadPopupBounds(const core::IniFile& ini)
{
    const TPopupSettings settings = TPopupSettings::Read(ini);
    PopupBounds = core::TPopupBounds(settings.MaxTabs, settings.ChainLimit);
}

void TFormMain::HoldBackPopup(core::TPopupBounds::TVerdict verdict)
{
    if (!PopupNote)
        PopupNote =
            new THeldBackNote(PageControl1->Strip(), QStringLiteral("已阻止此页面的弹出窗口"),
                              QStringLiteral("popups"));
    if (verdict == core::TPopupBounds::TooManyTabs)
        PopupNote->HoldBack(QStringLiteral("最多可同时打开 %1 个标签页").arg(PopupBounds.MaxTabs()),
                            QStringLiteral("too many open tabs"));
    else
        PopupNote->HoldBack(QStringLiteral("此页面短时间内打开的弹出窗口过多"),
                            QStringLiteral("too many popups without a user gesture"));
}

void TFormMain::HoldBackWindow()
{
    if (!WindowNote)
        WindowNote =
            new THeldBackNote(PageControl1->Strip(), QStringLiteral("已阻止 %1 个浏览器窗口"),
                              QStringLiteral("secondary windows"));
    WindowNote->HoldBack(QStringLiteral("最多可同时打开 %1 个浏览器窗口")
                             .arg(TWindowBounds::Instance().MaxWindows()),
                         QStringLiteral("too many secondary windows"));
}
