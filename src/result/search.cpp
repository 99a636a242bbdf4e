#include "search.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <optional>

namespace bVarious {
namespace {

// The document's text as one string, with a paragraph separator for each line break, so that
// string positions are document positions. Lives as the document's child and drops the text
// at the document's first change.
class SearchText final : public QObject
{
    Q_OBJECT

  public:
    explicit SearchText(QTextDocument* document) : QObject(document), m_document(document)
    {
        connect(document, &QTextDocument::contentsChanged, this, [this] { m_text.reset(); });
    }

    static SearchText& of(QTextDocument* document)
    {
        auto* search = document->findChild<SearchText*>(QString(), Qt::FindDirectChildrenOnly);
        return search != nullptr ? *search : *new SearchText(document);
    }

    const QString& text()
    {
        if (!m_text) {
            m_text = m_document->toRawText();
            // Shift+Enter breaks a line inside a paragraph; to a search it is a line break too.
            m_text->replace(QChar::LineSeparator, QChar::ParagraphSeparator);
        }
        return *m_text;
    }

  private:
    QTextDocument* m_document;
    std::optional<QString> m_text;
};

} // namespace

int FindInPane(QPlainTextEdit& pane, const QString& text, int start)
{
    if (text.isEmpty() || start < 0)
        return -1;
    // A selection or a pasted text may carry its line breaks in any of these forms.
    QString needle = text;
    needle.replace(QStringLiteral("\r\n"), QString(QChar::ParagraphSeparator));
    for (const QChar lineBreak : {QChar(u'\n'), QChar(u'\r'), QChar(QChar::LineSeparator)})
        needle.replace(lineBreak, QChar::ParagraphSeparator);

    const qsizetype found =
        SearchText::of(pane.document()).text().indexOf(needle, start, Qt::CaseInsensitive);
    if (found < 0)
        return -1;
    QTextCursor match(pane.document());
    match.setPosition(int(found));
    match.setPosition(int(found + needle.size()), QTextCursor::KeepAnchor);
    pane.setTextCursor(match);
    return int(found);
}

} // namespace bVarious

#include "search.moc"
