#include "runbuttonguard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

RunButtonGuard::RunButtonGuard(QPushButton& button, std::function<bool()> running)
    : QObject(&button), m_button(button), m_running(std::move(running))
{
    button.installEventFilter(this);
}

bool RunButtonGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_button)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        return (key == Qt::Key_Return || key == Qt::Key_Enter) && m_running();
    }
    case QEvent::MouseButtonDblClick:
        // The press before it came within the double-click interval too, and went the same way.
        return true;
    case QEvent::MouseButtonPress: {
        // Event times come from the window system, and so do the clicks that make a
        // double-click: the window's own clock could be behind them.
        const quint64 at = static_cast<QMouseEvent*>(event)->timestamp();
        const quint64 interval = quint64(QApplication::doubleClickInterval());
        const bool second = m_pressed && at >= m_lastPress && at - m_lastPress < interval;
        if (!second) {
            m_pressed = true;
            m_lastPress = at;
        }
        return second;
    }
    default:
        return false;
    }
}
