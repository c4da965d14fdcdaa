#include "ui/FormAbout.h"

#include <QApplication>
#include <QBitmap>
#include <QKeyEvent>
#include <QPainter>

#include "shared/Global.h"
#include "ui/ScreenPlacement.h"

namespace {

constexpr QSize ClientSize(488, 433);
// Corners are quarter-ellipses of 5 x 5 pixels.
constexpr qreal CornerRadius = 2.5;
const QColor FrameColour(192, 192, 192);

// The pixels of a rounded rectangle filling `size`, as a window shape.
QRegion RoundedShape(QSize size)
{
    QBitmap bits(size);
    bits.fill(Qt::color0);
    QPainter painter(&bits);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRectF(QPointF(0, 0), size), CornerRadius, CornerRadius);
    painter.end();
    return QRegion(bits);
}

} // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("关于"));
    setFixedSize(ClientSize);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    crm = new engine::TChromium(this);
    crm->DefaultUrl = QStringLiteral("about:blank");
    crm->setGeometry(1, 1, ClientSize.width() - 2, ClientSize.height() - 2);
    crm->OnBeforeContextMenu = [this](auto&&... args) { crmBeforeContextMenu(args...); };
    crm->OnClose = [this](auto&&... args) { crmClose(args...); };
    PlaceCentred(*this);
    // Key preview: the window sees key presses before the page does.
    qApp->installEventFilter(this);
    FormCreate();
}

TFormAbout::~TFormAbout()
{
    qApp->removeEventFilter(this);
}

QString TFormAbout::AboutPageUrl()
{
    return ServiceBaseUrl() + QStringLiteral("/pcClient/about.html");
}

void TFormAbout::FormCreate()
{
    crm->Load(AboutPageUrl());
}

void TFormAbout::FormShow()
{
    setMask(RoundedShape(size()));
    crm->setMask(RoundedShape(crm->size()));
}

void TFormAbout::FormPaint()
{
    QPainter canvas(this);
    canvas.setPen(FrameColour);
    canvas.setBrush(palette().window());
    canvas.drawRoundedRect(QRectF(0, 0, width() - 1, height() - 1), CornerRadius, CornerRadius);
}

bool TFormAbout::FormKeyDown(int key)
{
    if (key != Qt::Key_Escape)
        return false;
    reject();
    return true;
}

void TFormAbout::crmBeforeContextMenu(engine::TChromium*, const engine::BrowserRef&,
                                      const engine::FrameRef&, const engine::ContextMenuParams&,
                                      engine::MenuModel& model)
{
    model.Clear();
}

void TFormAbout::crmClose(engine::TChromium*, const engine::BrowserRef&, bool& Result)
{
    Result = true;
    reject();
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this)
        return FormKeyDown(static_cast<QKeyEvent*>(event)->key());
    return QDialog::eventFilter(watched, event);
}

void TFormAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFormAbout::paintEvent(QPaintEvent*)
{
    FormPaint();
}
