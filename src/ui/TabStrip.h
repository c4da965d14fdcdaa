#pragma once
// The tab row of TPageControl: flat tab backgrounds, content by the control's owner.

#include <QWidget>

class TPageControl;

class TTabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TTabStrip(TPageControl* control);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SetHover(int pageIndex);

    TPageControl* control_;
    int hover_ = -1;
};
