#include "ui/HeldBackNote.h"

#include <QLoggingCategory>

#include "ui/StripNote.h"

Q_LOGGING_CATEGORY(lcPopupBounds, "quillmark.ui.popups")

THeldBackNote::THeldBackNote(QWidget* host, QString heading, QString logWhat)
    : QObject(host), host_(host), heading_(std::move(heading)), logWhat_(std::move(logWhat))
{}

void THeldBackNote::HoldBack(const QString& reason, const QString& logReason)
{
    if (!note_) {
        note_ = new TStripNote(host_);
        connect(note_, &TStripNote::Hidden, this, [this] {
            qCInfo(lcPopupBounds).noquote()
                << count_ << logWhat_ << "held back by the client in all";
            count_ = 0;
        });
    }
    if (count_++ == 0)
        qCWarning(lcPopupBounds).noquote() << "holding back" << logWhat_ << "-" << logReason;
    const QString heading =
        heading_.contains(QLatin1String("%1")) ? heading_.arg(count_) : heading_;
    note_->Show(heading + QStringLiteral("：") + reason);
}
