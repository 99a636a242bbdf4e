#include "lengthlimit.h"

LengthLimit::LengthLimit(int maxLength, QObject* parent)
    : QValidator(parent), m_maxLength(maxLength)
{}

QValidator::State LengthLimit::validate(QString& text, int& /*pos*/) const
{
    return text.size() <= m_maxLength ? Acceptable : Invalid;
}
