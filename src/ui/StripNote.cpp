#include "ui/StripNote.h"

#include <QEvent>

TStripNote::TStripNote(QWidget* strip) : QLabel(strip)
{
    setObjectName(QStringLiteral("StripNote"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Notes may quote a page's address.
    setTextFormat(Qt::PlainText);
    setStyleSheet(QStringLiteral("QLabel { background: #fff4cc; color: #5a4500;"
                                 " border: 1px solid #e0c060; border-radius: 3px;"
                                 " padding: 2px 8px; }"));
    hideTimer_.setSingleShot(true);
    hideTimer_.setInterval(ShownMs);
    connect(&hideTimer_, &QTimer::timeout, this, [this] {
        hide();
        emit Hidden();
    });
    strip->installEventFilter(this);
    hide();
}

void TStripNote::Show(const QString& text)
{
    setText(text);
    Place();
    show();
    raise();
    hideTimer_.start();
}

void TStripNote::Place()
{
    adjustSize();
    const QWidget* strip = parentWidget();
    move(strip->width() - width() - 4, (strip->height() - height()) / 2);
}

bool TStripNote::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        Place();
    return QLabel::eventFilter(watched, event);
}
