#include "ui/PlainToolTip.h"

#include <QTextDocument>

QString PlainToolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    // white-space: pre keeps the line as plain text would show it, unwrapped.
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}
