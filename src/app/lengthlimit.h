#pragma once

#include <QValidator>

// Refuses, whole, every edit of a line edit that would leave its text longer than a limit: a
// typed character or a paste that does not fit is not cut to fit, and the field keeps what it
// had. QLineEdit's own maximum length cuts a paste before any validator sees it, so a field
// with this validator keeps Qt's default maximum length and lets this be its limit.
class LengthLimit final : public QValidator
{
  public:
    LengthLimit(int maxLength, QObject* parent);

    State validate(QString& text, int& pos) const override;

  private:
    int m_maxLength;
};
