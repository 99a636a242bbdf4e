#include "splitbar.h"

#include <QMouseEvent>
#include <QPainter>

SplitBar::SplitBar(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::SplitVCursor);
}

void SplitBar::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() / 2, width(), height() / 2);
}

void SplitBar::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        Q_EMIT Dragged(mapToParent(event->position().toPoint()).y() - kHeight / 2);
}
