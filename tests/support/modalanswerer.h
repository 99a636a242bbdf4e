#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <optional>

inline constexpr auto kYes = QMessageBox::Yes;
inline constexpr auto kNo = QMessageBox::No;
inline constexpr auto kCancel = QMessageBox::Cancel;
inline constexpr auto kOk = QMessageBox::Ok;

// What a message box showed, and the button that answered it (NoButton when it was
// rejected).
struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton; // NoButton when the box picks its own
    bool plainText;                            // false when markup in the text could be rendered
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
};

// What an input box showed: its title, its prompt and the text its field opened with.
struct SeenInput
{
    QString title, prompt, initial;
};

// Answers the modal boxes that come up while it lives, as a user would, and records what each
// showed. Message boxes take the button answers in order, input boxes the text answers in
// order (an empty optional cancels). Past those, the standing answers serve every box of their
// kind. whileShown runs with a box up, before it is answered. A box left without an answer,
// one whose answer is not among its buttons and any other modal window are closed and their
// titles noted as unexpected, so that a test fails instead of hanging.
class ModalAnswerer : public QObject
{
  public:
    explicit ModalAnswerer(QList<QMessageBox::StandardButton> buttons = {},
                           QList<std::optional<QString>> texts = {},
                           std::function<void()> whileShown = {})
        : m_buttons(std::move(buttons)), m_texts(std::move(texts)),
          m_whileShown(std::move(whileShown))
    {
        connect(&m_poll, &QTimer::timeout, this, &ModalAnswerer::Answer);
        // A timed command in the bench waits at most this long for its answer.
        m_poll.start(1);
    }

    // The button for every message box past the ordered answers.
    void SetStandingButton(QMessageBox::StandardButton button) { m_standingButton = button; }
    // The text for every input box past the ordered answers.
    void SetStandingText(const QString& text) { m_standingText = text; }

    // What each message box and each input box showed, in the order they came; the titles of
    // the modal windows closed without an answer.
    const QList<SeenBox>& SeenBoxes() const { return m_boxes; }
    const QList<SeenInput>& SeenInputs() const { return m_inputs; }
    const QStringList& Unexpected() const { return m_unexpected; }

  private:
    void Answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            AnswerBox(*box);
        else if (auto* input = qobject_cast<QInputDialog*>(modal))
            AnswerInput(*input);
        else
            Refuse(*modal);
    }

    void AnswerBox(QMessageBox& box)
    {
        m_boxes.append({box.windowTitle(), box.text(), box.icon(), box.standardButtons(),
                        box.standardButton(box.defaultButton()),
                        box.textFormat() == Qt::PlainText});
        if (m_whileShown)
            m_whileShown();
        const std::optional<QMessageBox::StandardButton> answer =
            m_buttons.isEmpty() ? m_standingButton : m_buttons.takeFirst();
        QAbstractButton* button = answer ? box.button(*answer) : nullptr;
        if (button == nullptr)
            return Refuse(box);
        m_boxes.last().answer = *answer;
        button->click();
    }

    void AnswerInput(QInputDialog& input)
    {
        m_inputs.append({input.windowTitle(), input.labelText(), input.textValue()});
        if (m_whileShown)
            m_whileShown();
        if (m_texts.isEmpty() && !m_standingText)
            return Refuse(input);
        const std::optional<QString> answer =
            m_texts.isEmpty() ? m_standingText : m_texts.takeFirst();
        if (!answer)
            return input.reject();
        input.setTextValue(*answer);
        input.accept();
    }

    void Refuse(QWidget& modal)
    {
        m_unexpected.append(modal.windowTitle());
        if (auto* dialog = qobject_cast<QDialog*>(&modal))
            dialog->reject();
        else
            modal.close();
    }

    QList<QMessageBox::StandardButton> m_buttons;
    QList<std::optional<QString>> m_texts;
    std::function<void()> m_whileShown;
    std::optional<QMessageBox::StandardButton> m_standingButton;
    std::optional<QString> m_standingText;
    QList<SeenBox> m_boxes;
    QList<SeenInput> m_inputs;
    QStringList m_unexpected;
    QTimer m_poll;
};
