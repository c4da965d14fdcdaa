#include "ui/WindowBounds.h"

#include <QApplication>

#include "core/IniFile.h"
#include "shared/Global.h"
#include "ui/FormBrowser.h"
#include "ui/SteadyClock.h"

namespace {

int PositiveSetting(const core::IniFile& ini, std::string_view key, int def)
{
    const std::int64_t value = ini.ReadInteger("SYSTEM", key, def);
    return value > 0 && value <= 1000000 ? int(value) : def;
}

int OpenBrowserWindows()
{
    int open = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        open += qobject_cast<const TFormBrowser*>(window) && window->isVisible() ? 1 : 0;
    return open;
}

} // namespace

TPopupSettings TPopupSettings::Read(const core::IniFile& ini)
{
    TPopupSettings settings;
    settings.MaxTabs = PositiveSetting(ini, "MAXTABS", settings.MaxTabs);
    settings.ChainLimit = PositiveSetting(ini, "MAXPOPUPS", settings.ChainLimit);
    settings.MaxWindows = PositiveSetting(ini, "MAXWINDOWS", settings.MaxWindows);
    return settings;
}

TWindowBounds& TWindowBounds::Instance()
{
    static TWindowBounds bounds;
    return bounds;
}

TWindowBounds::TWindowBounds()
    : bounds_([] {
          const TPopupSettings settings = TPopupSettings::Read(ConfigFile());
          return core::TPopupBounds(settings.MaxWindows, settings.ChainLimit);
      }())
{}

core::TPopupBounds::TVerdict TWindowBounds::Admit(int chain, bool userGesture)
{
    const auto verdict = bounds_.Admit(chain, userGesture, OpenBrowserWindows() + admitted_,
                                       qint64(SteadyMilliseconds()));
    if (verdict == core::TPopupBounds::Open)
        ++admitted_;
    return verdict;
}
