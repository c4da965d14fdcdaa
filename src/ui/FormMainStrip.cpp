// Drawing of the tab strip's content and its mouse rules: closing by the close button,
// a double click or a middle click, and the close buttons' hover look. Drawing only
// draws: captions are fitted when they or the tab width change, hit areas follow the
// strip's layout, and the loading animation moves with TimerRefreshTab.

#include <QGuiApplication>
#include <QIcon>
#include <QStyleHints>
#include <QWebEnginePage>

#include "core/TabGeometry.h"
#include "ui/FormMain.h"
#include "ui/PostedMessages.h"
#include "ui/SteadyClock.h"

namespace {

constexpr int LoadingFrames = 15;

// Icons pick their 2x artwork on HiDPI screens.
const QIcon& Artwork(const QString& name)
{
    static QHash<QString, QIcon> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(name, QIcon(QStringLiteral(":/images/%1.png").arg(name)));
    return *it;
}

void DrawArtwork(QPainter& canvas, const QIcon& icon, core::TPoint pos, int size)
{
    canvas.drawPixmap(pos.X, pos.Y,
                      icon.pixmap(QSize(size, size), canvas.device()->devicePixelRatioF()));
}

bool Inside(const core::TRect& rect, int x, int y)
{
    return core::PtInRect(rect, x, y);
}

} // namespace

void TFormMain::PageControl1DrawSkinTab(int p, const QRect&, QPainter& canvas)
{
    if (Closing)
        return;
    const TSkinTabSheet* page = PageControl1->Page(p);
    if (!page)
        return;
    const int W = PageControl1->TabWidth();
    const int y = PageControl1->CaptionTop();

    if (const TBrowserTab* tab = FindTab(page->Tag); tab && !tab->Loaded) {
        DrawArtwork(canvas, Artwork(QStringLiteral("PngImage%1").arg(tab->LoadingFrame)),
                    core::IconPos, core::IconSize);
    } else if (tab) {
        QIcon icon;
        if (tab->Browser && tab->Browser->Page())
            icon = tab->Browser->Page()->icon();
        DrawArtwork(canvas, icon.isNull() ? Artwork(QStringLiteral("FavIconNew")) : icon,
                    core::IconPos, core::IconSize);
    }

    const int textHeight = canvas.fontMetrics().height();
    canvas.drawText(QRect(core::CaptionLeft, y, std::max(0, W - core::CaptionLeft), textHeight),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, page->FittedCaption());

    // The start tab has no close button; tabs beyond the slots have no tracked one.
    if (p <= 1 || p >= TabInfoSlots)
        return;
    const bool hot = Inside(TabInfos[size_t(p)].CloseRect, PointerPos.x(), PointerPos.y());
    DrawArtwork(canvas,
                Artwork(hot ? QStringLiteral("TabCloseMove") : QStringLiteral("TabCloseNormal")),
                core::CloseImagePos(W, y), core::CloseImageSize);
}

void TFormMain::UpdateHitAreas()
{
    const int W = PageControl1->TabWidth();
    const int y = PageControl1->CaptionTop();
    const int n = PageControl1->PageCount();
    int position = 0;
    for (int p = 0; p < TabInfoSlots; ++p) {
        TTabInfo& slot = TabInfos[size_t(p)];
        const bool shown = p < n && PageControl1->Page(p)->TabVisible();
        slot.TabRect = shown ? core::TabRect(position, W) : core::TRect{};
        slot.CloseRect = shown ? core::CloseButtonRect(position, W, y) : core::TRect{};
        position += shown ? 1 : 0;
    }
}

void TFormMain::PageControl1MouseMove(int X, int Y)
{
    PointerPos = QPoint(X, Y);
    const int n = std::min(PageControl1->PageCount(), TabInfoSlots);
    bool changed = false;
    for (int i = 0; i < n; ++i) {
        TTabInfo& slot = TabInfos[size_t(i)];
        const bool inside = Inside(slot.CloseRect, X, Y);
        if (inside && slot.OutsideClose) {
            slot.OutsideClose = false;
            changed = true;
        } else if (!inside && !slot.OutsideClose) {
            slot.OutsideClose = true;
            changed = true;
        }
    }
    // One repaint, however many close buttons changed their look.
    if (changed)
        PageControl1->UpdateStrip();
}

void TFormMain::PageControl1MouseDown(Qt::MouseButton button, int, int)
{
    const double now = SteadyMilliseconds();
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    if (button == Qt::LeftButton && LastPressButton == Qt::LeftButton &&
        now - LastPressTime < interval) {
        const int p = PageControl1->ActivePageIndex();
        if (p != 1)
            PostMessage(new TPageIndexMessage(p));
        return;
    }
    LastPressTime = now;
    LastPressButton = button;
}

void TFormMain::PageControl1MouseUp(Qt::MouseButton button, int X, int Y)
{
    if (button == Qt::LeftButton) {
        const int p = PageControl1->ActivePageIndex();
        if (p == 1 || p < 0 || p >= TabInfoSlots)
            return;
        if (Inside(TabInfos[size_t(p)].CloseRect, X, Y)) {
            PostMessage(new TPageIndexMessage(p));
            // The next press is a click of its own, not the second half of a double
            // click: quick clicks on close buttons close one tab each.
            LastPressTime = 0;
        }
    } else if (button == Qt::MiddleButton) {
        const int last = std::min(PageControl1->PageCount() - 2, TabInfoSlots - 1);
        for (int i = 1; i <= last; ++i) {
            if (Inside(TabInfos[size_t(i)].TabRect, X, Y)) {
                if (i != 1)
                    PostMessage(new TPageIndexMessage(i));
                return;
            }
        }
    }
}

void TFormMain::TimerRefreshTabTimer()
{
    if (TabRegistry)
        for (TBrowserTab* tab : TabRegistry->All())
            if (!tab->Loaded)
                tab->LoadingFrame = (tab->LoadingFrame + 1) % LoadingFrames;
    PageControl1->RepaintStrip();
    if (LoadingPages->isEmpty())
        TimerRefreshTab->stop();
}
