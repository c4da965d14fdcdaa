#pragma once
// The tab row of TPageControl: flat tab backgrounds, content by the control's owner.
// It repaints when the pointer moves onto another tab or onto or off a close button.
// While the tabs scroll it shows arrow buttons at its ends and a list of all tabs.

#include <QWidget>
#include <optional>

class QMenu;
class QToolButton;
class TPageControl;

class TTabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TTabStrip(TPageControl* control);
    QSize sizeHint() const override;
    std::optional<QPoint> Pointer() const { return pointer_; }
    // Shows the scroll buttons where the control's tab row wants them, or hides them.
    void Arrange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The tab under the pointer, and the one whose close button it is on (-1: none).
    int HoverAt(const std::optional<QPoint>& pointer) const;
    int HotCloseAt(const std::optional<QPoint>& pointer) const;
    void MovePointer(const std::optional<QPoint>& pointer);
    QToolButton* AddButton(const QString& name, Qt::ArrowType arrow);
    void FillTabList();

    TPageControl* control_;
    // The one record of hover: the tab's look and its close button's follow from it.
    std::optional<QPoint> pointer_;
    QToolButton* scrollLeft_;
    QToolButton* scrollRight_;
    QToolButton* tabList_;
};
