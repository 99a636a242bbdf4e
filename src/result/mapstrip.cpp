#include "mapstrip.h"

#include "reportformat.h"
#include "resultpane.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace {

const QColor kDifferenceColour(204, 0, 0);
const QColor kNeverComparedColour(200, 200, 200);
const QColor kNeverComparedHatch(150, 150, 150);
// Where a realigning comparison lined the files up again: a mark across the strip.
const QColor kRealignedColour(0, 90, 200);
// The faintest difference stays visible beside the strongest.
constexpr int kFaintestAlpha = 70;
// The frame around the part in view is never lower than this, however long the report.
constexpr int kMinFrameRows = 5;
// Gathering the labels of a report this long keeps the window from its events for long
// enough to show the busy cursor meanwhile.
constexpr int kBusyChars = 4 * 1024 * 1024;

// value as "0x" and its hex digits.
QString Hex(std::uint64_t value)
{
    return QStringLiteral("0x") + QString::fromStdString(bVarious::HexNumber(value));
}

} // namespace

MapStrip::MapStrip(ResultPane& pane, QWidget* parent) : QWidget(parent), m_pane(pane)
{
    setCursor(Qt::PointingHandCursor);
    connect(m_pane.verticalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&QWidget::update));
    connect(m_pane.verticalScrollBar(), &QScrollBar::rangeChanged, this,
            qOverload<>(&QWidget::update));
    connect(m_pane.document(), &QTextDocument::contentsChanged, this, [this] {
        m_linesStale = true;
        update();
    });
}

QColor MapStrip::DifferenceColour()
{
    return kDifferenceColour;
}

void MapStrip::StartComparison()
{
    m_map = bFile::DifferenceMap();
    update();
}

void MapStrip::SetMap(const bFile::DifferenceMap& map)
{
    m_map = map;
    update();
}

MapStrip::RegionSpan MapStrip::RegionsAt(int y) const
{
    const auto regions = std::uint64_t(m_map->Regions());
    const auto rows = std::uint64_t(std::max(height(), 1));
    const auto first = std::size_t(std::uint64_t(y) * regions / rows);
    return {first, std::max(first + 1, std::size_t((std::uint64_t(y) + 1) * regions / rows))};
}

std::optional<MapStrip::Part> MapStrip::PartAt(int y) const
{
    if (!m_map || m_map->Regions() == 0 || y < 0 || y >= height())
        return std::nullopt;
    const RegionSpan span = RegionsAt(y);
    Part part;
    part.first = m_map->Origin() + m_map->FirstIndex(span.first);
    part.last = m_map->Origin() + m_map->FirstIndex(span.end) - 1;
    for (std::size_t r = span.first; r < span.end; ++r) {
        part.count += m_map->Count(r);
        part.realignments += m_map->Realignments(r);
    }
    part.compared = !m_map->NeverCompared(span.first);
    return part;
}

QString MapStrip::PartText(int y) const
{
    const std::optional<Part> part = PartAt(y);
    if (!part)
        return {};
    const QString range = QStringLiteral("Difference map: ") + Hex(part->first) + u'-' +
                          Hex(part->last) + QStringLiteral(": ");
    if (!part->compared)
        return range + QStringLiteral("not compared");
    QString text =
        range + QString::number(part->count) +
        (part->count == 1 ? QStringLiteral(" byte differs") : QStringLiteral(" bytes differ"));
    if (part->realignments > 0)
        text += QStringLiteral(", lined up again ") + QString::number(part->realignments) +
                (part->realignments == 1 ? QStringLiteral(" time") : QStringLiteral(" times"));
    return text;
}

std::optional<std::pair<int, int>> MapStrip::RowsInView() const
{
    if (!m_map || m_map->Regions() == 0 || m_pane.IsFrozen())
        return std::nullopt;
    const QTextDocument& document = *m_pane.document();
    const auto lineStartAt = [this](int y) {
        QTextCursor cursor = m_pane.cursorForPosition(QPoint(0, y));
        cursor.movePosition(QTextCursor::StartOfLine);
        return cursor.position();
    };
    // Half a line in: a sliver of the line above or below is not in view.
    const int halfLine = m_pane.fontMetrics().height() / 2;
    const int top = lineStartAt(halfLine);
    const int bottom = lineStartAt(m_pane.viewport()->height() - 1 - halfLine);
    const int end = document.characterCount() - 1;

    // Before the first labelled line the view starts at the range's start, after the last
    // one it reaches its end.
    const std::uint64_t origin = m_map->Origin();
    const std::uint64_t rangeLast = origin + m_map->Size() - 1;
    std::optional<std::uint64_t> first, last;
    if (top == 0 || !bVarious::NearestLabelledLine(document, top - 1, 0))
        first = origin;
    else if (const auto line = bVarious::NearestLabelledLine(document, top, bottom))
        first = line->label;
    if (bottom >= end || !bVarious::NearestLabelledLine(document, bottom + 1, end))
        last = rangeLast;
    else if (const auto line = bVarious::NearestLabelledLine(document, bottom, top))
        last = line->label;
    if (!first && !last)
        return std::nullopt;
    const auto rowOf = [&](std::uint64_t label, bool lastRow) {
        const std::uint64_t index = std::clamp(label, origin, rangeLast) - origin;
        const std::size_t region = m_map->RegionOf(index);
        int found = -1;
        for (int y = 0; y < height(); ++y) {
            const RegionSpan span = RegionsAt(y);
            if (span.first <= region && region < span.end) {
                found = y;
                if (!lastRow)
                    break;
            }
        }
        return found;
    };
    int from = rowOf(first.value_or(*last), false);
    int to = rowOf(last.value_or(*first), true);
    if (from > to)
        std::swap(from, to); // an edited report's lines may stand in any order
    return std::pair(from, to);
}

void MapStrip::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (m_map && m_map->Regions() > 0) {
        std::vector<std::optional<Part>> parts;
        std::uint64_t largest = 0;
        for (int y = 0; y < height(); ++y) {
            parts.push_back(PartAt(y));
            largest = std::max(largest, parts.back()->count);
        }
        const double scale = std::log1p(double(largest));
        for (int y = 0; y < height(); ++y) {
            const Part& part = *parts[std::size_t(y)];
            const QRect row(0, y, width(), 1);
            if (!part.compared) {
                painter.fillRect(row, kNeverComparedColour);
                painter.fillRect(row, QBrush(kNeverComparedHatch, Qt::BDiagPattern));
            } else if (part.count > 0) {
                QColor colour = kDifferenceColour;
                colour.setAlpha(kFaintestAlpha + int((255 - kFaintestAlpha) *
                                                     std::log1p(double(part.count)) / scale));
                painter.fillRect(row, colour);
            }
        }
        // Drawn after the counts, so that a row of many differences keeps its mark.
        for (int y = 0; y < height(); ++y) {
            if (parts[std::size_t(y)]->realignments > 0)
                painter.fillRect(QRect(0, std::max(0, y - 1), width(), 3), kRealignedColour);
        }
        if (const auto view = RowsInView()) {
            int from = view->first, to = view->second;
            if (to - from + 1 < kMinFrameRows) { // grown about its middle, kept on the strip
                from = std::clamp((from + to) / 2 - kMinFrameRows / 2, 0,
                                  std::max(0, height() - kMinFrameRows));
                to = std::min(height() - 1, from + kMinFrameRows - 1);
            }
            painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(1, from + 1, width() - 2, to - from));
        }
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool MapStrip::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = PartText(help->pos().y());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void MapStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ScrollPaneTo(event->position().toPoint().y());
}

void MapStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        ScrollPaneTo(std::clamp(event->position().toPoint().y(), 0, height() - 1));
}

void MapStrip::ScrollPaneTo(int y)
{
    const std::optional<Part> part = PartAt(y);
    // A running comparison's report is not in the pane yet.
    if (!part || m_pane.IsFrozen())
        return;
    QTextDocument& document = *m_pane.document();
    if (m_linesStale) {
        const bool busy = document.characterCount() > kBusyChars;
        if (busy)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_lines = bVarious::LabelledLines(document);
        m_linesStale = false;
        if (busy)
            QGuiApplication::restoreOverrideCursor();
    }
    // Past the last labelled line, the report's end is what follows.
    const int target =
        bVarious::LineForLabel(m_lines, part->first).value_or(document.characterCount() - 1);
    QTextCursor cursor(&document);
    cursor.setPosition(target);
    // Coming into view from below, the line stops at the top.
    m_pane.verticalScrollBar()->setValue(m_pane.verticalScrollBar()->maximum());
    m_pane.setTextCursor(cursor);
    m_pane.ensureCursorVisible();
    update();
}
