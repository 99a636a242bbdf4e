// Drives the real main window offscreen and times its context view. Run through
// context-bench.sh, which writes the pairs into FOLDER:
//     context-bench READ-FLOOR LUMATRA-REPORT FOLDER
//  - a jump of the view and its repaint, at the start, the middle, the end and past 4 GiB of
//    the sparse pairs sparse1/sparse2 and huge1/huge2, against the same on the two small files
//    small1/small2, all in one run;
//  - the memory the view adds to the window: the peak while it is shown and jumps about, beyond
//    the window's resident memory with Hex Context off after the same comparison;
//  - Next Difference (F6) from the start of equal1/differ2, a pair that differs in its last
//    byte only, against the read floor and lumatra-report --next-difference, alternating, and
//    the peak memory of one more search beyond the window's own.
// A comparison in the window that still runs after a moment is stopped: the view shows the
// files however the run ended. LUMATRA_BENCH_JUMPS (15) jumps at each place,
// LUMATRA_BENCH_RUNS (5) runs of each search.
#include "benchsupport.h"
#include "contextview.h"
#include "designedapplication.h"
#include "modalanswerer.h"
#include "windowcontrols.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <cstdint>

namespace {

// One frame at 60 frames a second.
constexpr double kFrameMs = 16.0;
constexpr double kMaxViewMiB = 1.0;
constexpr double kMaxSearchMiB = 8.0;
// A comparison still running this long is stopped.
constexpr int kStopAfterMs = 300;
// Jumps at least this far apart read rows of their own.
constexpr std::uint64_t kJumpStride = 64 * 1024;
constexpr std::uint64_t kGiB = std::uint64_t(1) << 30;

QString Ms(double ms)
{
    return QString::number(ms, 'f', 2) + QStringLiteral(" ms");
}

QString MiB(double mib)
{
    return QString::number(mib, 'f', 2) + QStringLiteral(" MiB");
}

QString HexText(std::uint64_t value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

// Counts the paints of a widget: the proof that a repaint painted.
class PaintCounter : public QObject
{
  public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

void SetHexContext(fMAIN& window, bool on)
{
    auto* item = Control<QAction>(window, "mnuCONTEXT");
    if (item->isChecked() != on)
        item->trigger();
    QApplication::processEvents();
}

// Compares the pair in the window with Hex Context on and returns its view, showing the pair;
// null when it does not. With stop, a run still going after a moment is stopped as "&Stop"
// does.
ContextView* CompareInWindow(fMAIN& window, const QString& path1, const QString& path2, bool stop)
{
    SetHexContext(window, true);
    auto* button = Control<QPushButton>(window, "cmdRUN");
    QTimer stopper;
    stopper.setSingleShot(true);
    QObject::connect(&stopper, &QTimer::timeout, button, [button] {
        if (button->text() == u"&Stop")
            button->click();
    });
    if (stop)
        stopper.start(kStopAfterMs);
    Compare(window, {path1, path2});
    stopper.stop();
    // The button takes no click for a moment after "&Stop".
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    auto* view = window.findChild<ContextView*>();
    const bool shown = view != nullptr && view->isVisible() && view->HasFiles() &&
                       view->Note().isEmpty() &&
                       view->Layout().Length(1) == std::uint64_t(QFileInfo(path1).size());
    return shown ? view : nullptr;
}

struct Place
{
    QString name;
    std::uint64_t at = 0;
    bool backwards = false; // the jumps go from at towards the start
    std::vector<double> ms;
};

// The places of file 1 to jump to: its start, middle and end, and past 4 GiB when it is longer.
std::vector<Place> PlacesOf(std::uint64_t length)
{
    std::vector<Place> places{{QStringLiteral("start"), 0, false, {}},
                              {QStringLiteral("middle"), length / 2 + 3, false, {}},
                              {QStringLiteral("end"), length - 1, true, {}}};
    if (length > 8 * kGiB)
        places.push_back({QStringLiteral("past 4 GiB"), 4 * kGiB + 5, false, {}});
    return places;
}

// Jumps the view to jumps positions from each place on, each far enough from the one before to
// read rows of its own, and times each jump with the repaint that shows it. False when a jump
// did not land or did not paint.
bool TimeJumps(ContextView& view, std::vector<Place>& places, int jumps)
{
    PaintCounter counter(*view.viewport());
    const std::uint64_t length = view.Layout().Length(1);
    const std::uint64_t stride =
        std::max<std::uint64_t>(16, std::min(kJumpStride, length / (4 * std::uint64_t(jumps))));
    for (Place& place : places) {
        for (int k = 0; k < jumps; ++k) {
            const std::uint64_t step = stride * std::uint64_t(k);
            const std::uint64_t at = place.backwards ? place.at - step : place.at + step;
            const int paints = counter.paints;
            const std::uint64_t top = view.TopRow();
            QElapsedTimer clock;
            clock.start();
            view.ShowPosition(at);
            view.viewport()->repaint();
            place.ms.push_back(double(clock.nsecsElapsed()) / 1e6);
            if (view.Position() != at || counter.paints == paints ||
                (k > 0 && view.TopRow() == top) || !view.Note().isEmpty()) {
                Say(QStringLiteral("context-bench: the jump to %1 did not show it")
                        .arg(HexText(at)));
                return false;
            }
        }
    }
    return true;
}

struct PairResult
{
    QString name;
    std::vector<Place> places;
    double baseMiB = -1;  // the window with Hex Context off
    double extraMiB = -1; // the view's peak beyond that
    int jumps = 0;
};

// Compares the pair, turns Hex Context off and on again and jumps about in the view, measuring
// the window's memory with the view off and its peak while the view shows and paints.
bool MeasurePair(fMAIN& window, const QString& name, const QString& path1, const QString& path2,
                 int jumps, PairResult& result)
{
    result.name = name;
    ContextView* view = CompareInWindow(window, path1, path2, true);
    if (view == nullptr) {
        Say(QStringLiteral("context-bench: the view does not show the %1").arg(name));
        return false;
    }
    result.places = PlacesOf(view->Layout().Length(1));
    SetHexContext(window, false);
    result.baseMiB = ResidentMemoryMiB();
    const bool peakReset = ResetPeakMemory();
    SetHexContext(window, true);
    if (!TimeJumps(*view, result.places, jumps))
        return false;
    result.jumps = jumps * int(result.places.size());
    if (peakReset)
        result.extraMiB = PeakMemoryMiB() - result.baseMiB;
    return true;
}

double Worst(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

// The reference's jumps, all places together.
std::vector<double> AllJumps(const PairResult& pair)
{
    std::vector<double> all;
    for (const Place& place : pair.places)
        all.insert(all.end(), place.ms.begin(), place.ms.end());
    return all;
}

void SayPaintTargets(const PairResult& pair, const PairResult& reference, QStringList& targets)
{
    const double referenceMedian = Median(AllJumps(reference));
    for (const Place& place : pair.places) {
        const double worst = Worst(place.ms);
        targets.append(
            QStringLiteral("target context paint: %1, a jump to the %2 (%3) and its "
                           "repaint, median %4, worst %5 over %6 jumps (the %7: "
                           "median %8) (at most %9): %10")
                .arg(pair.name, place.name, HexText(place.at), Ms(Median(place.ms)), Ms(worst))
                .arg(place.ms.size())
                .arg(reference.name, Ms(referenceMedian), Ms(kFrameMs),
                     Verdict(worst <= kFrameMs)));
    }
}

void SayMemoryTarget(const PairResult& pair, QStringList& targets)
{
    const bool known = pair.extraMiB > -1;
    targets.append(
        QStringLiteral("target context memory: %1, the view shown and painted after %2 jumps: "
                       "peak %3 beyond the window's %4 with Hex Context off (at most %5): %6")
            .arg(pair.name)
            .arg(pair.jumps)
            .arg(known ? MiB(pair.extraMiB) : QStringLiteral("unknown"), MiB(pair.baseMiB),
                 MiB(kMaxViewMiB), Verdict(known && pair.extraMiB <= kMaxViewMiB)));
}

// A program's run in seconds; -1 when it ended otherwise than with one of the statuses.
double RunProgram(const QString& program, const QStringList& arguments, int status)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != status)
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

// Next Difference from the view's start; seconds, or -1 unless it lands on last.
double WindowSearch(fMAIN& window, ContextView& view, std::uint64_t last)
{
    view.ShowPosition(0);
    QElapsedTimer clock;
    clock.start();
    Control<QAction>(window, "mnuNEXTDIFF")->trigger();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return view.Position() == last ? seconds : -1;
}

// Next Difference in the window, lumatra-report --next-difference and the read floor on the
// pair that differs in its last byte, alternating; the line of their medians.
bool SearchInWindow(fMAIN& window, const QString& floor, const QString& report, const QDir& folder,
                    int runs, QStringList& targets)
{
    const QString path1 = folder.filePath(QStringLiteral("equal1"));
    const QString path2 = folder.filePath(QStringLiteral("differ2"));
    const std::uint64_t size = std::uint64_t(QFileInfo(path1).size());
    ContextView* view = CompareInWindow(window, path1, path2, false);
    if (view == nullptr || size == 0) {
        Say(QStringLiteral("context-bench: the view does not show the pair that differs at its "
                           "end"));
        return false;
    }
    const auto floorRun = [&] { return RunProgram(floor, {path1, path2}, 1); };
    const auto reportRun = [&] {
        return RunProgram(
            report, {QStringLiteral("--next-difference"), QStringLiteral("0"), path1, path2}, 0);
    };
    const auto windowRun = [&] { return WindowSearch(window, *view, size - 1); };
    floorRun();
    reportRun();
    windowRun();
    std::vector<double> floors, reports, windows;
    for (int run = 1; run <= runs; ++run) {
        floors.push_back(floorRun());
        reports.push_back(reportRun());
        windows.push_back(windowRun());
        Say(QStringLiteral("  run %1: read floor %2, lumatra-report --next-difference %3, "
                           "window Next Difference %4")
                .arg(run)
                .arg(Seconds(floors.back()), Seconds(reports.back()), Seconds(windows.back())));
        if (floors.back() < 0 || reports.back() < 0 || windows.back() < 0) {
            Say(QStringLiteral("context-bench: a search failed (a negative time above)"));
            return false;
        }
    }
    const double floorMedian = Median(floors), reportMedian = Median(reports),
                 windowMedian = Median(windows);
    targets.append(
        QStringLiteral("window next-difference: %1 MiB pair differing in its last "
                       "byte, Next Difference (F6) in the window %2 = %3 x the read "
                       "floor (%4), %5 x lumatra-report --next-difference (%6), "
                       "medians of %7 runs")
            .arg(size >> 20)
            .arg(Seconds(windowMedian), QString::number(windowMedian / floorMedian, 'f', 3),
                 Seconds(floorMedian), QString::number(windowMedian / reportMedian, 'f', 3),
                 Seconds(reportMedian))
            .arg(runs));

    // One more search, alone, for the memory it takes beyond the window's own.
    const double base = ResidentMemoryMiB();
    const bool peakReset = ResetPeakMemory();
    if (windowRun() < 0)
        return false;
    const double extra = peakReset ? PeakMemoryMiB() - base : -1;
    targets.append(QStringLiteral("target window next-difference memory: peak %1 beyond the "
                                  "window's %2 (at most %3): %4")
                       .arg(extra > -1 ? MiB(extra) : QStringLiteral("unknown"), MiB(base),
                            MiB(kMaxSearchMiB), Verdict(extra > -1 && extra <= kMaxSearchMiB)));
    return true;
}

QString PairName(const QString& path1)
{
    const qint64 size = QFileInfo(path1).size();
    return size >= qint64(kGiB) ? QStringLiteral("%1 GiB sparse pair").arg(size >> 30)
                                : QStringLiteral("two %1 KiB files").arg(size >> 10);
}

} // namespace

int main(int argc, char* argv[])
{
    DesignedApplication app(argc, argv);
    const QStringList args = app.Arguments(4, 4, "context-bench READ-FLOOR LUMATRA-REPORT FOLDER");
    if (args.isEmpty())
        return 2;
    const QDir folder(args[3]);
    const int jumps = Setting("LUMATRA_BENCH_JUMPS", 15);
    const int runs = Setting("LUMATRA_BENCH_RUNS", 5);

    fMAIN window;
    // Room for both sides of the view.
    window.resize(1180, 760);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;
    // No question is expected; one that comes is answered No and named below.
    ModalAnswerer answerer;
    answerer.SetStandingButton(QMessageBox::No);

    QStringList targets;
    std::vector<PairResult> pairs;
    bool ok = true;
    for (const QString& name :
         {QStringLiteral("small"), QStringLiteral("sparse"), QStringLiteral("huge")}) {
        const QString path1 = folder.filePath(name + u'1');
        const QString path2 = folder.filePath(name + u'2');
        PairResult pair;
        if (!MeasurePair(window, PairName(path1), path1, path2, jumps, pair)) {
            ok = false;
            break;
        }
        pairs.push_back(pair);
    }
    if (ok) {
        const PairResult& reference = pairs.front();
        const std::vector<double> all = AllJumps(reference);
        Say(QStringLiteral("context paint: %1 (the reference), %2 jumps at the start, the middle "
                           "and the end, each with its repaint: median %3, worst %4")
                .arg(reference.name)
                .arg(all.size())
                .arg(Ms(Median(all)), Ms(Worst(all))));
        for (std::size_t i = 1; i < pairs.size(); ++i)
            SayPaintTargets(pairs[i], reference, targets);
        for (const PairResult& pair : pairs)
            SayMemoryTarget(pair, targets);
        ok = SearchInWindow(window, args[1], args[2], folder, runs, targets);
    }
    if (!answerer.Unexpected().isEmpty() || !answerer.SeenBoxes().isEmpty())
        Say(QStringLiteral("context-bench: a dialog came up during the bench"));
    for (const QString& target : targets)
        Say(target);
    window.ResultChanged = false;
    return ok ? 0 : 2;
}
