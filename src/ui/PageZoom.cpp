#include "ui/PageZoom.h"

#include <QApplication>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cmath>

#include "core/Zoom.h"
#include "shared/Global.h"
#include "ui/ZoomOverlay.h"

namespace {

constexpr char ZoomSection[] = "ZOOM";

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
        if (StoredZoomPercent(view->url()) != percent)
            ConfigFile().WriteInteger(ZoomSection, key, percent);
    }
    TZoomOverlay::ShowOn(view, percent);
}

} // namespace

int StoredZoomPercent(const QUrl& address)
{
    const std::string key = KeyOf(address);
    if (key.empty())
        return core::DefaultZoomPercent;
    const auto stored = ConfigFile().Find(ZoomSection, key);
    return stored ? core::ParseZoomPercent(*stored).value_or(core::DefaultZoomPercent)
                  : core::DefaultZoomPercent;
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
