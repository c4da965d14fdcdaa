#include "ui/StripController.h"

#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QStyleHints>
#include <QWebEnginePage>
#include <utility>

#include "core/TabGeometry.h"
#include "ui/PageControl.h"
#include "ui/SteadyClock.h"
#include "ui/TabBook.h"

namespace {

constexpr int LoadingFrames = 15;
constexpr int LoadingFrameMs = 250;

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

} // namespace

TStripController::TStripController(TPageControl* control, const TTabBook& tabs,
                                   std::function<void(int)> closeTab,
                                   std::function<int()> reservedEnd, QObject* parent)
    : QObject(parent), control_(control), tabs_(tabs), closeTab_(std::move(closeTab)),
      reservedEnd_(std::move(reservedEnd))
{
    timer_.setInterval(LoadingFrameMs);
    connect(&timer_, &QTimer::timeout, this, &TStripController::AnimateLoading);
    connect(&tabs, &TTabBook::LoadingChanged, this, &TStripController::LoadingChanged);
    connect(&tabs, &TTabBook::TabsChanged, this, &TStripController::FitTabWidth);
    // The start tab has no close button.
    control_->Closable = [](int p) { return p > 1; };
    control_->TabIcon = [this](int p) { return Icon(p); };
}

QIcon TStripController::Icon(int p) const
{
    const TBrowserTab* tab = tabs_.Of(control_->Page(p));
    if (tab && !tab->Loaded)
        return Artwork(QStringLiteral("PngImage%1").arg(tab->LoadingFrame));
    QIcon icon;
    if (tab && tab->Browser && tab->Browser->Page())
        icon = tab->Browser->Page()->icon();
    return icon.isNull() ? Artwork(QStringLiteral("FavIconNew")) : icon;
}

void TStripController::Draw(int p, QPainter& canvas) const
{
    const TSkinTabSheet* page = control_->Page(p);
    if (!page)
        return;
    const int W = control_->TabWidth();
    const int y = control_->CaptionTop();

    if (tabs_.Of(page))
        DrawArtwork(canvas, Icon(p), core::IconPos, core::IconSize);

    const int textHeight = canvas.fontMetrics().height();
    canvas.drawText(QRect(core::CaptionLeft, y, std::max(0, W - core::CaptionLeft), textHeight),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, page->FittedCaption());

    if (!control_->Closable(p))
        return;
    const std::optional<QPoint> pointer = control_->Pointer();
    const bool hot = pointer && core::PtInRect(control_->CloseRect(p), pointer->x(), pointer->y());
    DrawArtwork(canvas,
                Artwork(hot ? QStringLiteral("TabCloseMove") : QStringLiteral("TabCloseNormal")),
                core::CloseImagePos(W, y), core::CloseImageSize);
}

int TStripController::CloseButtonAt(int x, int y) const
{
    const int p = y < core::TabHeight ? control_->PageAtX(x) : -1;
    return p >= 0 && control_->Closable(p) && core::PtInRect(control_->CloseRect(p), x, y) ? p : -1;
}

void TStripController::MouseDown(Qt::MouseButton button, int x, int y)
{
    if (button == Qt::LeftButton)
        pressedClose_ = CloseButtonAt(x, y);
    const double now = SteadyMilliseconds();
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    if (button == Qt::LeftButton && lastPressButton_ == Qt::LeftButton &&
        now - lastPressTime_ < interval) {
        const int p = control_->ActivePageIndex();
        if (p != 1)
            closeTab_(p);
        return;
    }
    lastPressTime_ = now;
    lastPressButton_ = button;
}

void TStripController::MouseUp(Qt::MouseButton button, int x, int y)
{
    if (button == Qt::LeftButton) {
        // A click on a close button, press and release on the same one; the press
        // selected no tab, so a background tab closes in the background.
        const int p = CloseButtonAt(x, y);
        if (p < 0 || p != std::exchange(pressedClose_, -1))
            return;
        closeTab_(p);
        // Quick clicks on close buttons close one tab each.
        ForgetPress();
    } else if (button == Qt::MiddleButton) {
        const int p = y < core::TabHeight ? control_->PageAtX(x) : -1;
        if (p > 1 && p < control_->PageCount() - 1)
            closeTab_(p);
    }
}

void TStripController::FitTabWidth()
{
    int room = control_->width();
    // The widgets at the strip's end sit in the room it keeps there, and may outgrow it.
    if (const int end = reservedEnd_(); end >= 0)
        room = std::min(room, end + core::TabStripReserve);
    control_->SetTabRoom(room);
}

void TStripController::AnimateLoading()
{
    for (TBrowserTab* tab : tabs_.All())
        if (!tab->Loaded)
            tab->LoadingFrame = (tab->LoadingFrame + 1) % LoadingFrames;
    control_->RepaintStrip();
    if (!tabs_.AnyLoading())
        timer_.stop();
}

void TStripController::LoadingChanged()
{
    if (tabs_.AnyLoading() && !timer_.isActive())
        timer_.start();
    // One paint for all the tabs that report in one go (a burst of popups reports
    // hundreds of times), not one paint of the whole strip per report.
    control_->UpdateStrip();
}
