#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

// What a message box showed.
struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton; // NoButton when the box picks its own
    bool plainText;                            // false when markup in the text could be rendered
};

// Answers the modal message boxes that come up while it lives, one answer each, in order, and
// records what each showed. whileShown runs with a box up, before it is answered. A box
// beyond the answers is recorded and rejected, so a test fails instead of hanging.
class BoxAnswerer : public QObject
{
  public:
    explicit BoxAnswerer(QList<QMessageBox::StandardButton> answers,
                         std::function<void()> whileShown = {})
        : m_answers(std::move(answers)), m_whileShown(std::move(whileShown))
    {
        connect(&m_poll, &QTimer::timeout, this, &BoxAnswerer::answer);
        m_poll.start(5);
    }

    QList<SeenBox> seen;

  private:
    void answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        seen.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                     box->standardButton(box->defaultButton()),
                     box->textFormat() == Qt::PlainText});
        if (m_whileShown)
            m_whileShown();
        if (m_answers.isEmpty() || box->button(m_answers.first()) == nullptr)
            box->reject();
        else
            box->button(m_answers.takeFirst())->click();
    }

    QList<QMessageBox::StandardButton> m_answers;
    std::function<void()> m_whileShown;
    QTimer m_poll;
};
