#pragma once

#include <QPlainTextEdit>

// The result pane `tOut`: the report's text widget. Besides the text it keeps the font's
// character-set code, which the settings store round-trips although Qt fonts have none.
class ResultPane : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit ResultPane(QWidget* parent = nullptr);

    int charset() const { return m_charset; }
    void setCharset(int charset) { m_charset = charset; }

    // Sets the pane's font; a face that does not resolve to a fixed-pitch font is replaced
    // by the system's fixed font of the same size and weight, so report columns line up.
    void applyFont(const QFont& font);

private:
    int m_charset = 238; // Central European
};
