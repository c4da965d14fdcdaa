#pragma once
// Qt's own texts in Simplified Chinese: standard buttons read 是 / 否 / 确定 and the
// engine's menu entries are Chinese too.

class QCoreApplication;

void LoadChineseTranslations(QCoreApplication& app);
