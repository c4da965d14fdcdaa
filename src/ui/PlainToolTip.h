#pragma once
// A tooltip that shows page-derived text (a title, a file name) as it is: Qt reads tooltip
// text that looks like markup as markup, so such text goes in escaped, as markup of its own.

#include <QString>

QString PlainToolTip(const QString& text);
