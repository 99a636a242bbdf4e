#pragma once

#include "contextfiles.h"
#include "scrollscale.h"

#include <QAbstractScrollArea>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The context view under the result pane: both files of the comparison in view side by side,
// 16 bytes a row (see ContextLayout), the bytes that differ and those that only one file
// holds after a realigning comparison in the map's colour, bytes past a file's end blank.
// Read-only; it reads only the rows it shows, so any file size costs the same. The cursor is a
// row of the view and a column in it: the row is marked and the column framed on both sides. It
// stands for a position in file 1: the byte in its cell, else file 1's nearest byte in its row,
// else (a row wholly inside bytes only file 2 holds) file 1's first byte after the row, or its
// last byte when none follows. Up, Down, Page Up, Page Down, Ctrl+Home and Ctrl+End move it by
// rows of the view, from file 1's first row to its last (and through bytes only file 2 holds
// before or after all of file 1's), keeping the column; with Shift they select rows. The wheel
// and the scroll bar scroll and take the cursor along into the rows shown; a click puts it on a
// cell. Ctrl+C copies the selected rows as text, as shown. When a file changed since the
// comparison, a note above the rows says so.
class ContextView : public QAbstractScrollArea
{
    Q_OBJECT

  public:
    // The most rows one copy takes.
    static constexpr std::uint64_t kMaxCopyRows = 4096;

    explicit ContextView(QWidget* parent = nullptr);
    ~ContextView() override;

    // Shows the files of a comparison from these offsets, lined up through the alignment of
    // a realigning one, with the cursor on the first byte compared. Their state now is what
    // later changes are held against. A file that cannot be opened is told in the note, in
    // place of the rows.
    void SetComparison(const std::string& path1, const std::string& path2, std::uint64_t offset1,
                       std::uint64_t offset2,
                       std::shared_ptr<const bFile::Alignment> alignment = nullptr);
    // Shows nothing.
    void Clear();
    bool HasFiles() const { return m_source.has_value(); }

    // The files' layout as last read.
    const bFile::ContextLayout& Layout() const { return m_layout; }
    // Where the cursor is, in file 1, and the row it marks.
    std::uint64_t Position() const { return m_cursor; }
    std::uint64_t CursorRow() const { return m_cursorRow; }
    // Moves the cursor to a position of file 1 (one past its end counts as its last byte) and
    // scrolls its row into view, without telling PositionChosen. withInsertion: bytes only
    // file 2 holds just before the position are scrolled into view from their first row.
    void ShowPosition(std::uint64_t position1, bool withInsertion = false);

    // The first row shown, and how many rows fit.
    std::uint64_t TopRow() const { return m_top; }
    std::uint64_t VisibleRows() const;
    // The scroll bar's scale for the rows.
    const bVarious::ScrollScale& Scale() const { return m_scale; }

    // The selected rows (the cursor's row when none are) as text, one line each; empty when
    // more than kMaxCopyRows are selected (Ctrl+C then says so) or there is nothing to show.
    QString SelectedText();
    // How many rows the selection spans, the cursor's row alone counting as one; 0 when there
    // is nothing to show.
    std::uint64_t SelectedRows() const;
    // The note above the rows: a file changed since the comparison, or could not be read.
    const QString& Note() const { return m_note; }

  Q_SIGNALS:
    // The user moved the cursor: keys, a click, or scrolling that took it along.
    void PositionChosen(quint64 position1);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    struct Source
    {
        std::string path1, path2;
        std::uint64_t offset1 = 0, offset2 = 0;
        bFile::FileState state1, state2; // as at the comparison
        std::shared_ptr<const bFile::Alignment> alignment;
    };

    // Opens the files again and reads the rows shown; a failure or a change goes to the note.
    void ReadRows();
    // The lines above the rows: the note, if any, and the heading.
    int HeaderLines() const { return m_note.isEmpty() ? 1 : 2; }
    int LineHeight() const;
    // Fixed-pitch faces may advance by fractions of a pixel.
    qreal CharWidth() const;
    // Sets the first row shown, within bounds, and the scroll bars to match.
    void SetTop(std::uint64_t top);
    void UpdateScrollBars();
    // The first and last rows the cursor may take: file 1's, and those of bytes only file 2
    // holds before all of file 1's or after them. File 1 must not be empty.
    std::uint64_t FirstCursorRow() const;
    std::uint64_t LastCursorRow() const;
    // Puts the cursor on a cell, the row taken within the cursor's rows; where the row shows no
    // byte of file 1 in that column, the position is file 1's nearest byte in the row, or when
    // the row shows none, the first after it (the last of file 1 when none follows). File 1
    // must not be empty.
    void PlaceCursor(std::uint64_t row, unsigned column);
    // Scrolls the rows from first to the cursor's into view, when they are not.
    void ScrollToCursor(std::uint64_t first);
    // Moves the cursor to a cell (see PlaceCursor), scrolls it into view and tells
    // PositionChosen. select keeps the selection's anchor.
    void MoveCursorTo(std::uint64_t row, unsigned column, bool select);
    // After scrolling: the cursor into the rows shown, told when it moved.
    void KeepCursorInView();
    // The row and column of a click at a point of the viewport.
    struct Cell
    {
        std::uint64_t row = 0;
        unsigned column = 0;
    };
    std::optional<Cell> CellAt(const QPoint& point) const;

    std::optional<Source> m_source;
    bFile::ContextLayout m_layout;
    bVarious::ScrollScale m_scale;
    std::uint64_t m_top = 0;
    std::uint64_t m_cursor = 0; // in file 1
    std::uint64_t m_cursorRow = 0;
    unsigned m_cursorColumn = 0;
    std::uint64_t m_anchorRow = 0;         // the selection runs from here to the cursor's row
    std::vector<bFile::ContextRow> m_rows; // from m_rowsFirst on
    std::uint64_t m_rowsFirst = 0;
    bool m_rowsStale = true;
    bool m_settingBars = false;
    QString m_note;
};
