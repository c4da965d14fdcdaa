#pragma once
// Tells what a bound held back, once per burst: a note on its host widget, and a line in
// the log when a burst starts and when it ends. UI thread only; the host owns the note.

#include <QObject>
#include <QString>

class QWidget;
class TStripNote;

class THeldBackNote : public QObject {
    Q_OBJECT
public:
    // `heading` starts the note; a "%1" in it is the count held back since the note last
    // hid. `logWhat` names what is held back in the log.
    THeldBackNote(QWidget* host, QString heading, QString logWhat);

    // One more window was held back: `reason` says why, `logReason` the same for the log.
    void HoldBack(const QString& reason, const QString& logReason);
    // Held back since the note last hid.
    int Count() const { return count_; }

private:
    QWidget* host_;
    QString heading_;
    QString logWhat_;
    TStripNote* note_ = nullptr;
    int count_ = 0;
};
