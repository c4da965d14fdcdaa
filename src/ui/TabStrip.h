#pragma once
// The tab row of TPageControl: flat tab backgrounds, content by the control's owner.
// It repaints when the pointer moves onto another tab or onto or off a close button.

#include <QWidget>
#include <optional>

class TPageControl;

class TTabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TTabStrip(TPageControl* control);
    QSize sizeHint() const override;
    std::optional<QPoint> Pointer() const { return pointer_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The tab under the pointer, and the one whose close button it is on (-1: none).
    int HoverAt(const std::optional<QPoint>& pointer) const;
    int HotCloseAt(const std::optional<QPoint>& pointer) const;
    void MovePointer(const std::optional<QPoint>& pointer);

    TPageControl* control_;
    // The one record of hover: the tab's look and its close button's follow from it.
    std::optional<QPoint> pointer_;
};
