#include "ui/PageZoom.h"

#include <QApplication>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cmath>
#include <optional>

#include "core/Zoom.h"
#include "core/ZoomStore.h"
#include "shared/Global.h"
#include "ui/ZoomOverlay.h"

namespace {

// Of the config.ini of the main window made last; made when a page first asks.
std::optional<core::TZoomStore> zoomStore;

core::TZoomStore& Store()
{
    if (!zoomStore)
        zoomStore.emplace(ConfigPath().toStdString());
    return *zoomStore;
}

std::string KeyOf(const QUrl& address)
{
    return core::ZoomKeyOfHost(address.host(QUrl::FullyEncoded).toStdString());
}

int PercentOf(const QWebEnginePage* page)
{
    return int(std::lround(page->zoomFactor() * 100));
}

void SetPercent(QWebEnginePage* page, int percent)
{
    if (PercentOf(page) != percent)
        page->setZoomFactor(percent / 100.0);
}

// Every view of the client: those inside windows, and popups that are windows of their own.
QList<QWebEngineView*> AllViews()
{
    QList<QWebEngineView*> views;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* view = qobject_cast<QWebEngineView*>(window))
            views << view;
        views << window->findChildren<QWebEngineView*>();
    }
    return views;
}

void SetZoom(QWebEngineView* view, int percent)
{
    const std::string key = KeyOf(view->url());
    if (key.empty()) {
        SetPercent(view->page(), percent);
    } else {
        for (QWebEngineView* other : AllViews())
            if (KeyOf(other->url()) == key)
                SetPercent(other->page(), percent);
        Store().Set(key, percent);
    }
    TZoomOverlay::ShowOn(view, percent);
}

} // namespace

int StoredZoomPercent(const QUrl& address)
{
    const std::string key = KeyOf(address);
    return key.empty() ? core::DefaultZoomPercent : Store().Percent(key);
}

void ForgetStoredZoom()
{
    zoomStore.reset();
}

void ApplyStoredZoom(QWebEnginePage* page)
{
    SetPercent(page, StoredZoomPercent(page->url()));
}

void StepZoom(QWebEngineView* view, bool up)
{
    SetZoom(view, core::NextZoomStep(PercentOf(view->page()), up));
}

void ResetZoom(QWebEngineView* view)
{
    SetZoom(view, core::DefaultZoomPercent);
}
