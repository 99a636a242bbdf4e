#include "contextview.h"

#include "compareerror.h"
#include "fixedpitchfont.h"
#include "mapstrip.h"
#include "plainbox.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr int kMargin = 4;
constexpr std::uint64_t kRow = bFile::kContextRowBytes;
// Rows one notch of the wheel scrolls.
constexpr std::uint64_t kWheelRows = 3;

} // namespace

ContextView::ContextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    // The system's fixed face may be missing (under wine): the columns need one all the same.
    setFont(FixedPitchFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)));
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setCursor(Qt::ArrowCursor);
}

ContextView::~ContextView() = default;

void ContextView::SetComparison(const std::string& path1, const std::string& path2,
                                std::uint64_t offset1, std::uint64_t offset2,
                                std::shared_ptr<const bFile::Alignment> alignment)
{
    m_source = Source{path1, path2, offset1, offset2, {}, {}, alignment};
    m_note.clear();
    m_layout = bFile::ContextLayout();
    try {
        const bFile::ContextFiles files(path1, path2, offset1, offset2, alignment);
        m_source->state1 = files.State(1);
        m_source->state2 = files.State(2);
        m_layout = files.Layout();
    } catch (const bFile::CompareError& error) {
        m_note = QString::fromUtf8(error.what());
    }
    m_rowsStale = true;
    m_top = 0;
    UpdateScrollBars();
    ShowPosition(offset1 > m_layout.Length(1) ? 0 : offset1);
}

void ContextView::Clear()
{
    m_source.reset();
    m_layout = bFile::ContextLayout();
    m_rows.clear();
    m_note.clear();
    m_top = m_cursor = m_cursorRow = m_anchorRow = 0;
    m_cursorColumn = 0;
    UpdateScrollBars();
    viewport()->update();
}

void ContextView::ReadRows()
{
    m_rowsStale = false;
    m_rows.clear();
    if (!m_source)
        return;
    const QString before = m_note;
    try {
        bFile::ContextFiles files(m_source->path1, m_source->path2, m_source->offset1,
                                  m_source->offset2, m_source->alignment);
        m_layout = files.Layout();
        QStringList changed;
        if (!bFile::SameContents(m_source->state1, files.State(1)))
            changed << QStringLiteral("File 1");
        if (!bFile::SameContents(m_source->state2, files.State(2)))
            changed << QStringLiteral("File 2");
        m_note.clear();
        if (!changed.isEmpty())
            m_note = changed.join(QStringLiteral(" and ")) +
                     QStringLiteral(" changed since the comparison: the rows show the bytes as "
                                    "they are now.");
        if (m_layout.AlignmentCut()) {
            m_note += QStringLiteral("%1The files are lined up through the first %2 insertions "
                                     "and removals only, then at the last one's shift.")
                          .arg(m_note.isEmpty() ? QString() : QStringLiteral(" "))
                          .arg(bFile::Alignment::kMostEdits);
        }
        m_rowsFirst = m_top;
        m_rows = files.ReadRows(m_top, VisibleRows());
    } catch (const bFile::CompareError& error) {
        m_note = QString::fromUtf8(error.what());
    } catch (const std::bad_alloc&) {
        m_note = QStringLiteral("There is not enough memory to show these rows.");
    }
    if (m_note != before)
        UpdateScrollBars();
}

int ContextView::LineHeight() const
{
    return fontMetrics().height();
}

qreal ContextView::CharWidth() const
{
    return std::max(1.0, QFontMetricsF(font()).horizontalAdvance(u'0'));
}

std::uint64_t ContextView::VisibleRows() const
{
    const int lines = viewport()->height() / LineHeight() - HeaderLines();
    return std::uint64_t(std::max(lines, 1));
}

void ContextView::UpdateScrollBars()
{
    const std::uint64_t rows = m_source ? m_layout.RowCount() : 0;
    const std::uint64_t visible = VisibleRows();
    m_scale = bVarious::ScrollScale(rows > visible ? rows - visible : 0);
    m_settingBars = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, m_scale.Maximum());
    bar->setPageStep(m_scale.Scaled() ? 1 : int(visible));
    bar->setSingleStep(1);
    bar->setValue(m_scale.ValueOf(m_top));
    const int width =
        2 * kMargin +
        int(std::ceil(bFile::ContextColumns(m_layout.LabelDigits()).Width() * CharWidth()));
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(int(std::ceil(CharWidth())));
    m_settingBars = false;
}

void ContextView::SetTop(std::uint64_t top)
{
    const std::uint64_t rows = m_layout.RowCount();
    const std::uint64_t visible = VisibleRows();
    top = std::min(top, rows > visible ? rows - visible : 0);
    if (top != m_top) {
        m_top = top;
        m_rowsStale = true;
    }
    UpdateScrollBars();
    viewport()->update();
}

void ContextView::ShowPosition(std::uint64_t position1, bool withInsertion)
{
    const std::uint64_t length = m_layout.Length(1);
    m_cursor = length == 0 ? 0 : std::min(position1, length - 1);
    m_cursorRow = m_anchorRow = m_layout.RowOf(1, m_cursor);
    m_cursorColumn = m_layout.ColumnOf(1, m_cursor);
    // The first row to show: the cursor's, or that of the bytes inserted just before it.
    std::uint64_t first = m_cursorRow;
    if (withInsertion) {
        for (std::size_t edit = m_layout.EditsBefore(position1, true); edit > 0; --edit) {
            const bFile::AlignmentEdit& before = m_layout.Edit(edit - 1);
            if (before.position1 != position1)
                break;
            if (before.file == 2)
                first = std::min(first, m_layout.RowOf(2, before.position2));
        }
    }
    ScrollToCursor(first);
}

void ContextView::ScrollToCursor(std::uint64_t first)
{
    const std::uint64_t visible = VisibleRows();
    if (first < m_top || m_cursorRow >= m_top + visible)
        SetTop(first - std::min(first, visible / 3));
    viewport()->update();
}

std::uint64_t ContextView::FirstCursorRow() const
{
    const std::uint64_t first = m_layout.RowOf(1, 0);
    if (m_layout.EditCount() == 0)
        return first;
    const bFile::AlignmentEdit& edit = m_layout.Edit(0);
    if (edit.file != 2 || edit.position1 != 0)
        return first;
    return std::min(first, m_layout.RowOf(2, edit.position2));
}

std::uint64_t ContextView::LastCursorRow() const
{
    const std::uint64_t length = m_layout.Length(1);
    const std::uint64_t last = m_layout.RowOf(1, length - 1);
    if (m_layout.EditCount() == 0)
        return last;
    const bFile::AlignmentEdit& edit = m_layout.Edit(m_layout.EditCount() - 1);
    if (edit.file != 2 || edit.position1 < length)
        return last;
    return std::max(last, m_layout.RowOf(2, edit.position2 + edit.count - 1));
}

void ContextView::PlaceCursor(std::uint64_t row, unsigned column)
{
    m_cursorRow = std::clamp(row, FirstCursorRow(), LastCursorRow());
    m_cursorColumn = column;
    if (const auto at = m_layout.PositionAt(1, m_cursorRow, column)) {
        m_cursor = *at;
        return;
    }
    // File 1's bytes on either side of the cell, as far as the row holds them; file 1's
    // positions grow along the view, so the one before the first after the cell is the last
    // before it.
    const std::uint64_t length = m_layout.Length(1);
    const std::uint64_t after = m_layout.PositionFrom(1, m_cursorRow, column);
    const bool afterInRow = after < length && m_layout.RowOf(1, after) == m_cursorRow;
    const bool beforeInRow = after > 0 && m_layout.RowOf(1, after - 1) == m_cursorRow;
    if (beforeInRow && (!afterInRow || column - m_layout.ColumnOf(1, after - 1) <
                                           m_layout.ColumnOf(1, after) - column))
        m_cursor = after - 1;
    else
        m_cursor = std::min(after, length - 1);
    // A row without file 1's bytes keeps the column, for the rows after it.
    if (afterInRow || beforeInRow)
        m_cursorColumn = m_layout.ColumnOf(1, m_cursor);
}

void ContextView::MoveCursorTo(std::uint64_t row, unsigned column, bool select)
{
    const std::uint64_t anchor = m_anchorRow;
    PlaceCursor(row, column);
    m_anchorRow = select ? anchor : m_cursorRow;
    ScrollToCursor(m_cursorRow);
    Q_EMIT PositionChosen(m_cursor);
}

void ContextView::KeepCursorInView()
{
    if (!m_source || m_layout.Length(1) == 0)
        return;
    const std::uint64_t first = m_top;
    const std::uint64_t last = std::min(m_top + VisibleRows(), m_layout.RowCount()) - 1;
    if (m_cursorRow >= first && m_cursorRow <= last)
        return;
    // The cursor's column in the row at the edge it left by; none of the cursor's rows in
    // view (file 2's own bytes before or after file 1's fill it): it stays.
    const std::uint64_t row =
        m_cursorRow < first ? std::max(first, FirstCursorRow()) : std::min(last, LastCursorRow());
    if (row < first || row > last)
        return;
    PlaceCursor(row, m_cursorColumn);
    viewport()->update();
    Q_EMIT PositionChosen(m_cursor);
}

void ContextView::scrollContentsBy(int /*dx*/, int /*dy*/)
{
    if (m_settingBars)
        return;
    const std::uint64_t top = m_scale.TopOf(verticalScrollBar()->value());
    if (top != m_top) {
        m_top = top;
        m_rowsStale = true;
        KeepCursorInView();
    }
    viewport()->update();
}

void ContextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_rowsStale = true;
    SetTop(m_top);
}

void ContextView::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0 || !m_source) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const std::uint64_t rows = kWheelRows * std::uint64_t(std::abs(notches));
    SetTop(notches > 0 ? m_top - std::min(m_top, rows) : m_top + rows);
    KeepCursorInView();
    event->accept();
}

void ContextView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        if (SelectedRows() > kMaxCopyRows) {
            bVarious::PlainMessageBox(
                this, QMessageBox::Information, QApplication::applicationName(),
                QStringLiteral("The selection holds %1 rows; at most %2 rows are copied at a time.")
                    .arg(SelectedRows())
                    .arg(kMaxCopyRows));
            return;
        }
        const QString text = SelectedText();
        if (!text.isEmpty())
            QApplication::clipboard()->setText(text);
        return;
    }
    if (!m_source || m_layout.Length(1) == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const bool select = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const std::uint64_t row = m_cursorRow;
    const unsigned column = m_cursorColumn;
    const std::uint64_t first = FirstCursorRow();
    const std::uint64_t last = LastCursorRow();
    const std::uint64_t page = std::max<std::uint64_t>(VisibleRows() - 1, 1);
    // A page that would pass the first or last row goes to file 1's first or last byte.
    switch (event->key()) {
    case Qt::Key_Up:
        return MoveCursorTo(row > 0 ? row - 1 : 0, column, select);
    case Qt::Key_Down:
        return MoveCursorTo(row + 1, column, select);
    case Qt::Key_PageUp:
        if (row - std::min(row, first) < page)
            return MoveCursorTo(first, 0, select);
        return MoveCursorTo(row - page, column, select);
    case Qt::Key_PageDown:
        if (last - std::min(last, row) < page)
            return MoveCursorTo(last, kRow - 1, select);
        return MoveCursorTo(row + page, column, select);
    case Qt::Key_Home:
        if (control)
            return MoveCursorTo(first, 0, select);
        break;
    case Qt::Key_End:
        if (control)
            return MoveCursorTo(last, kRow - 1, select);
        break;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

std::optional<ContextView::Cell> ContextView::CellAt(const QPoint& point) const
{
    if (!m_source || m_layout.Length(1) == 0)
        return std::nullopt;
    const int line = point.y() / LineHeight() - HeaderLines();
    if (line < 0)
        return std::nullopt;
    const std::uint64_t row = std::min(m_top + std::uint64_t(line), m_layout.RowCount() - 1);
    const bFile::ContextColumns columns(m_layout.LabelDigits());
    const int character = int((point.x() + horizontalScrollBar()->value() - kMargin) / CharWidth());
    // The column under the pointer, on either side, in the hex or the characters.
    unsigned column = 0;
    for (int file = 1; file <= 2; ++file) {
        for (unsigned c = 0; c < kRow; ++c) {
            if ((character >= columns.Hex(file, c) - 1 && character <= columns.Hex(file, c) + 1) ||
                character == columns.Char(file, c))
                column = c;
        }
    }
    // Above the cursor's rows stands for file 1's first byte, below them for its last.
    if (row < FirstCursorRow())
        return Cell{row, 0};
    if (row > LastCursorRow())
        return Cell{row, kRow - 1};
    return Cell{row, column};
}

void ContextView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    if (const auto cell = CellAt(event->position().toPoint()))
        MoveCursorTo(cell->row, cell->column, event->modifiers() & Qt::ShiftModifier);
}

void ContextView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (const auto cell = CellAt(event->position().toPoint()))
        MoveCursorTo(cell->row, cell->column, true);
}

std::uint64_t ContextView::SelectedRows() const
{
    if (!m_source || m_layout.Length(1) == 0)
        return 0;
    return std::max(m_cursorRow, m_anchorRow) - std::min(m_cursorRow, m_anchorRow) + 1;
}

QString ContextView::SelectedText()
{
    const std::uint64_t count = SelectedRows();
    if (count == 0 || count > kMaxCopyRows)
        return {};
    const std::uint64_t first = std::min(m_cursorRow, m_anchorRow);
    try {
        bFile::ContextFiles files(m_source->path1, m_source->path2, m_source->offset1,
                                  m_source->offset2, m_source->alignment);
        const bFile::ContextColumns columns(files.Layout().LabelDigits());
        QString text;
        for (const bFile::ContextRow& row : files.ReadRows(first, count))
            text += QString::fromLatin1(bFile::RowText(row, columns)) + u'\n';
        return text;
    } catch (const bFile::CompareError& error) {
        m_note = QString::fromUtf8(error.what());
        viewport()->update();
        return {};
    }
}

void ContextView::paintEvent(QPaintEvent* /*event*/)
{
    if (m_rowsStale || (m_source && m_rowsFirst != m_top))
        ReadRows();
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    if (!m_source)
        return;
    painter.setFont(font());
    const int lineHeight = LineHeight();
    const qreal charWidth = CharWidth();
    const int ascent = fontMetrics().ascent();
    const int left = kMargin - horizontalScrollBar()->value();
    const QColor text = palette().color(QPalette::Text);
    const QColor differs = MapStrip::DifferenceColour();
    const bFile::ContextColumns columns(m_layout.LabelDigits());

    int y = 0;
    if (!m_note.isEmpty()) {
        painter.setPen(differs);
        painter.drawText(kMargin, y + ascent, m_note);
        y += lineHeight;
    }
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(left, y + ascent, QString::fromLatin1(bFile::HeadingText(columns)));
    y += lineHeight;

    const std::uint64_t cursorRow = m_cursorRow;
    const std::uint64_t firstSelected = std::min(cursorRow, m_anchorRow);
    const std::uint64_t lastSelected = std::max(cursorRow, m_anchorRow);
    QColor marked = palette().color(QPalette::Highlight);
    marked.setAlpha(50);
    QColor selected = palette().color(QPalette::Highlight);
    selected.setAlpha(110);
    const int width = std::max(viewport()->width(), left + int(columns.Width() * charWidth) + 1);
    for (const bFile::ContextRow& row : m_rows) {
        if (row.row >= firstSelected && row.row <= lastSelected)
            painter.fillRect(0, y, width, lineHeight,
                             firstSelected == lastSelected ? marked : selected);
        const QString line = QString::fromLatin1(bFile::RowText(row, columns));
        // The characters of differing bytes in the map's colour, the rest plain, in runs.
        std::vector<bool> differing(std::size_t(line.size()), false);
        for (unsigned c = 0; c < kRow; ++c) {
            if (!row.cells[c].Differs() && !row.cells[c].edited)
                continue;
            for (int file = 1; file <= 2; ++file) {
                for (int i = columns.Hex(file, c) - 1; i <= columns.Hex(file, c) + 1; ++i)
                    differing[std::size_t(i)] = true;
                differing[std::size_t(columns.Char(file, c))] = true;
            }
        }
        for (qsizetype start = 0; start < line.size();) {
            qsizetype end = start;
            while (end < line.size() &&
                   differing[std::size_t(end)] == differing[std::size_t(start)])
                ++end;
            painter.setPen(differing[std::size_t(start)] ? differs : text);
            painter.drawText(QPointF(left + qreal(start) * charWidth, y + ascent),
                             line.mid(start, end - start));
            start = end;
        }
        if (row.row == cursorRow) {
            const unsigned column = m_cursorColumn;
            painter.setPen(text);
            painter.setBrush(Qt::NoBrush);
            for (int file = 1; file <= 2; ++file)
                painter.drawRect(QRectF(left + columns.Hex(file, column) * charWidth - 1, y,
                                        2 * charWidth + 1, lineHeight - 1));
        }
        y += lineHeight;
    }
}
