// Drawing of the tab strip's content and its mouse rules: closing by the close button,
// a double click or a middle click, and the close buttons' hover look.

#include <QIcon>
#include <QWebEnginePage>

#include "core/TabGeometry.h"
#include "ui/FormMain.h"
#include "ui/PostedMessages.h"
#include "ui/SteadyClock.h"

namespace {

constexpr int LoadingFrames = 15;
constexpr double DoubleClickMs = 300;

// Icons pick their 2x artwork on HiDPI screens.
const QIcon& Artwork(const QString& name)
{
    static QHash<QString, QIcon> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(name, QIcon(QStringLiteral(":/images/%1.png").arg(name)));
    return *it;
}

void DrawArtwork(QPainter& canvas, const QIcon& icon, int x, int y, int size)
{
    canvas.drawPixmap(x, y, icon.pixmap(QSize(size, size), canvas.device()->devicePixelRatioF()));
}

bool Inside(const core::TRect& rect, int x, int y)
{
    return core::PtInRect(rect, x, y);
}

core::TRect ToTRect(const QRect& r)
{
    return core::TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

} // namespace

void TFormMain::PageControl1DrawSkinTab(int p, const QRect& rect, QPainter& canvas)
{
    if (Closing)
        return;
    TSkinTabSheet* page = PageControl1->Page(p);
    if (!page)
        return;
    const int W = PageControl1->TabWidth();
    const int tabLeft = PageControl1->TabRect(p).left();

    if (page->Caption().isEmpty())
        page->SetCaption(QStringLiteral("新页面"));

    TBrowserTab* tab = FindTab(page->Tag);
    if (tab && !tab->Loaded) {
        DrawArtwork(canvas, Artwork(QStringLiteral("PngImage%1").arg(tab->LoadingFrame)), 5, 7, 16);
        tab->LoadingFrame = (tab->LoadingFrame + 1) % LoadingFrames;
    } else if (tab) {
        QIcon icon;
        if (tab->Browser && tab->Browser->Page())
            icon = tab->Browser->Page()->icon();
        DrawArtwork(canvas, icon.isNull() ? Artwork(QStringLiteral("FavIconNew")) : icon, 5, 7, 16);
    }

    const QFontMetrics metrics = canvas.fontMetrics();
    const int textHeight = metrics.height();
    const int y = core::CaptionTop(textHeight);
    const std::u16string fitted =
        core::FitCaption(page->Caption().toStdU16String(), W, [&metrics](std::u16string_view text) {
            return metrics.horizontalAdvance(
                QString::fromUtf16(text.data(), qsizetype(text.size())));
        });
    canvas.drawText(QRect(25, y, std::max(0, W - 25), textHeight),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    QString::fromStdU16String(fitted));

    if (p >= TabInfoSlots)
        return; // no slot: the tab is drawn, its hit areas are not tracked
    TTabInfo& slot = TabInfos[size_t(p)];
    const int closeLeft = tabLeft + W - 19;
    slot.CloseRect = core::TRect{closeLeft, y, closeLeft + 12, y + 12};
    if (p > 1) {
        const bool hot = Inside(slot.CloseRect, PointerPos.x(), PointerPos.y());
        DrawArtwork(
            canvas,
            Artwork(hot ? QStringLiteral("TabCloseMove") : QStringLiteral("TabCloseNormal")),
            W - 19, y + 2, 10);
    }
    slot.TabRect = ToTRect(rect.translated(tabLeft, 0));
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
    if (button == Qt::LeftButton && now - LastPressTime < DoubleClickMs) {
        const int p = PageControl1->ActivePageIndex();
        if (p != 1)
            PostMessage(new TPageIndexMessage(p));
        return;
    }
    LastPressTime = now;
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
    PageControl1->RepaintStrip();
    if (LoadingPages->isEmpty())
        TimerRefreshTab->stop();
}
