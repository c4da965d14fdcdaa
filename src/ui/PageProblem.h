#pragma once
// The client's own page over a browser window whose page cannot be shown (its renderer
// died, or the service cannot be reached): what happened, what to do, and one button.
// It needs no renderer of its own, so a page that crashes in a loop cannot take it
// down. It follows its window's size. UI thread only.

#include <QWidget>

class QLabel;
class QPushButton;

class TPageProblem : public QWidget {
    Q_OBJECT
public:
    // The problem page over `window`, made when it has none.
    static TPageProblem* ShowOn(QWidget* window);
    // The one shown over `window`, or null.
    static TPageProblem* Of(const QWidget* window);
    // Takes the problem page off `window`; safe from inside its own Activated.
    static void RemoveFrom(QWidget* window);

    void SetContent(const QString& heading, const QString& text, const QString& buttonText);
    // A line under the text about what the client is doing; empty hides it.
    void SetStatus(const QString& status);
    void SetBusy(bool busy);

    QString Heading() const;
    QString Text() const;
    QString Status() const;
    QPushButton* Button() const { return button_; }

signals:
    // The button, or "刷新" in its context menu.
    void Activated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    explicit TPageProblem(QWidget* window);

    QLabel* heading_;
    QLabel* text_;
    QLabel* status_;
    QPushButton* button_;
    bool removed_ = false;
};
