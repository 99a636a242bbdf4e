#pragma once

#include <QWidget>

// The bar between the result pane and the context view: dragging it moves the split. The
// window lays both out; the bar only tells where the pointer took it, in the coordinates of
// its parent.
class SplitBar : public QWidget
{
    Q_OBJECT

  public:
    static constexpr int kHeight = 6;

    explicit SplitBar(QWidget* parent);

  Q_SIGNALS:
    void Dragged(int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
