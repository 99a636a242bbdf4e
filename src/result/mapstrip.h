#pragma once

#include "differencemap.h"
#include "reportlabels.h"

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

class ResultPane;

// The difference map beside the result pane: a narrow strip whose top is the start of the
// compared range and whose bottom is its end. Each pixel row shows how many bytes differ in
// its part of the range, by the strength of its colour on a logarithmic scale; a part never
// compared has a shade of its own. A frame marks the part whose report lines are in view,
// a click or a drag takes the pane to the first report line at or after that part, and the
// tooltip tells the part's range and count.
class MapStrip : public QWidget
{
    Q_OBJECT

  public:
    static constexpr int kWidth = 16;
    // The colour that marks differences, here and in the context view.
    static QColor DifferenceColour();

    MapStrip(ResultPane& pane, QWidget* parent);

    // A comparison starts: the last one's map goes, and the strip shows this run's from now on.
    void StartComparison();
    bool HasMap() const { return m_map.has_value(); }

    // The run's map as it stands; called while the run goes on and at its end.
    void SetMap(const bFile::DifferenceMap& map);

    // What pixel row y stands for: its part of the range as the report labels positions, and
    // the bytes that differ there. Nothing while there is no part to show.
    struct Part
    {
        std::uint64_t first = 0, last = 0, count = 0;
        bool compared = false;          // some byte of it was compared
        std::uint64_t realignments = 0; // times a realigning comparison lined the files up here
    };
    std::optional<Part> PartAt(int y) const;

    // The text of the tooltip at pixel row y: "Difference map: 0x1A2000-0x1A2FFF: 57 bytes
    // differ", and where the files were lined up again ", lined up again 2 times".
    QString PartText(int y) const;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    // The regions that pixel row y shows, from first up to end.
    struct RegionSpan
    {
        std::size_t first, end;
    };
    RegionSpan RegionsAt(int y) const;
    // The first and last pixel row of the part whose report lines the pane shows; nothing
    // when it shows none.
    std::optional<std::pair<int, int>> RowsInView() const;
    void ScrollPaneTo(int y);

    ResultPane& m_pane;
    std::optional<bFile::DifferenceMap> m_map;
    // The report's labelled lines, gathered again after the report has changed.
    std::vector<bVarious::LabelledLine> m_lines;
    bool m_linesStale = true;
};
