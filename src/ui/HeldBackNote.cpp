#include "ui/HeldBackNote.h"

#include <QLoggingCategory>

#include "ui/StripNote.h"

Q_LOGGING_CATEGORY(lcPopupBounds, "quillmark.ui.popups")

THeldBackNote::THeldBackNote(QWidget* host, QString what, QString logWhat)
    : QObject(host), host_(host), what_(std::move(what)), logWhat_(std::move(logWhat))
{}

void THeldBackNote::HoldBack(const QString& reason, const QString& logReason)
{
    if (!note_) {
        note_ = new TStripNote(host_);
        connect(note_, &TStripNote::Hidden, this, [this] {
            qCInfo(lcPopupBounds).noquote() << count_ << logWhat_ << "held back in all";
            count_ = 0;
        });
    }
    if (count_++ == 0)
        qCWarning(lcPopupBounds).noquote() << "holding back" << logWhat_ << "-" << logReason;
    note_->Show(QStringLiteral("已阻止 %1 个%2：%3").arg(count_).arg(what_, reason));
}
