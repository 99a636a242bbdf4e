#pragma once

#include <QObject>
#include <functional>

class QPushButton;

// Keeps the presses that were not meant for it away from the button that starts and stops a
// run: Enter never presses it while a run goes on, even when it has the focus, and the second
// press of a double-click never reaches it, so that a double-click neither starts and stops a
// run at once nor stops one and starts the next.
class RunButtonGuard : public QObject
{
    Q_OBJECT

  public:
    // Watches button for as long as it lives; running tells whether a run goes on.
    RunButtonGuard(QPushButton& button, std::function<bool()> running);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPushButton& m_button;
    std::function<bool()> m_running;
    // When the last press that reached the button came, by the window system's clock.
    quint64 m_lastPress = 0;
    bool m_pressed = false;
};
