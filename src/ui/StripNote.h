#pragma once
// A short note at the right end of the tab strip ("已阻止 3 个弹出窗口..."); it hides by
// itself a while after it was last set. UI thread only.

#include <QLabel>
#include <QTimer>

class TStripNote : public QLabel {
    Q_OBJECT
public:
    // The strip owns the note.
    explicit TStripNote(QWidget* strip);
    // Shows the text, or replaces the one shown, and starts the wait anew.
    void Show(const QString& text);
    static constexpr int ShownMs = 8000;

signals:
    void Hidden();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    QTimer hideTimer_;
};
