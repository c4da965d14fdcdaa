#pragma once
// Tells what a bound held back, once per burst: a note on its host widget counts the
// windows held back since it last hid, and the log has a line when a burst starts and
// when it ends. UI thread only; the host owns the note.

#include <QObject>
#include <QString>

class QWidget;
class TStripNote;

class THeldBackNote : public QObject {
    Q_OBJECT
public:
    // `what` names the windows held back ("弹出窗口"), `logWhat` the same for the log.
    THeldBackNote(QWidget* host, QString what, QString logWhat);

    // One more window was held back: `reason` says why, `logReason` the same for the log.
    void HoldBack(const QString& reason, const QString& logReason);
    // Held back since the note last hid.
    int Count() const { return count_; }

private:
    QWidget* host_;
    QString what_;
    QString logWhat_;
    TStripNote* note_ = nullptr;
    int count_ = 0;
};
