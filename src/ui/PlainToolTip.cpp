#include "ui/PlainToolTip.h"

QString PlainToolTip(const QString& text)
{
    if (text.isEmpty())
        return text;
    // white-space: pre keeps the line as plain text would show it, unwrapped.
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}
