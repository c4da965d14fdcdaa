#pragma once
// Find in page: a slim bar along the bottom of a browser view's container, over the page,
// with the text to find, "上一个" / "下一个", the match count ("第 N 项，共 M 项") and a
// close button. Typing searches as you type; Enter and Shift+Enter step forward and
// back; Esc closes the bar and clears the highlight. The bar is a child of the container,
// so it goes with it (a tab's bar closes with its tab). UI thread only.

#include <QFrame>
#include <QPointer>

class QLabel;
class QLineEdit;
class QWebEngineFindTextResult;
class QWebEngineView;

class TFindBar : public QFrame {
    Q_OBJECT
public:
    // Opens the find bar for `view` in the view's parent (made on first use): shows it,
    // puts the focus in its text with the text selected. Returns the bar.
    static TFindBar* OpenFor(QWebEngineView* view);
    // The bar `view`'s parent holds, if any.
    static TFindBar* Of(const QWebEngineView* view);

    void CloseBar();
    QString Text() const;
    // What the count shows, e.g. "第 2 项，共 5 项"; empty while nothing is searched.
    QString CountText() const;
    // Searches again, forward or back.
    void FindNext();
    void FindPrevious();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TFindBar(QWebEngineView* view);
    void Find(bool backward);
    void ShowResult(const QWebEngineFindTextResult& result);
    void Place();

    QPointer<QWebEngineView> view_;
    QLineEdit* edit_;
    QLabel* count_;
};
