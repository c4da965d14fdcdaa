// Bounds on popups: a page cannot open more than MAXTABS tabs, nor more than MAXPOPUPS
// popups without a user gesture per chain in any 10 s. What is held back is counted and
// told once per burst, in a note at the end of the strip.

#include <QLoggingCategory>

#include "core/IniFile.h"
#include "ui/FormMain.h"
#include "ui/StripNote.h"

Q_LOGGING_CATEGORY(lcPopupBounds, "quillmark.ui.popups")

namespace {

// A positive setting, else its default.
int PositiveSetting(const core::IniFile& ini, std::string_view key, int def)
{
    const std::int64_t value = ini.ReadInteger("SYSTEM", key, def);
    return value > 0 && value <= 1000000 ? int(value) : def;
}

} // namespace

void TFormMain::ReadPopupBounds(const core::IniFile& ini)
{
    PopupBounds = core::TPopupBounds(
        PositiveSetting(ini, "MAXTABS", core::TPopupBounds::DefaultMaxTabs),
        PositiveSetting(ini, "MAXPOPUPS", core::TPopupBounds::DefaultChainLimit));
}

void TFormMain::HoldBackPopup(core::TPopupBounds::TVerdict verdict)
{
    if (!PopupNote) {
        PopupNote = new TStripNote(PageControl1->Strip());
        connect(PopupNote, &TStripNote::Hidden, this, [this] {
            qCInfo(lcPopupBounds) << HeldBackPopups << "popups held back in all";
            HeldBackPopups = 0;
        });
    }
    if (HeldBackPopups++ == 0)
        qCWarning(lcPopupBounds) << "holding back popups:"
                                 << (verdict == core::TPopupBounds::TooManyTabs
                                         ? "too many open tabs"
                                         : "too many popups without a user gesture");
    const QString reason =
        verdict == core::TPopupBounds::TooManyTabs
            ? QStringLiteral("最多可同时打开 %1 个标签页").arg(PopupBounds.MaxTabs())
            : QStringLiteral("此页面短时间内打开的弹出窗口过多");
    PopupNote->Show(QStringLiteral("已阻止 %1 个弹出窗口：%2").arg(HeldBackPopups).arg(reason));
}
