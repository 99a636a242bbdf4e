// Drives the real main window offscreen and times it: an identical pair against lumatra-report
// on the same pair, then a report of a million lines with "Find", "Save Result" and a scroll to
// its end. Run through window-bench.sh:
//     window-bench LUMATRA-REPORT [FOLDER]
// Sizes come from LUMATRA_BENCH_WINDOW_MIB (1024), LUMATRA_BENCH_LINES (1000000) and
// LUMATRA_BENCH_RUNS (3). The last lines print targets 4 to 6 with "met" or "missed".
//
// With LUMATRA_BENCH_SCALE set (window-bench.sh --scale), it measures instead how the window's
// cost grows with the report: reports of LUMATRA_BENCH_LINES and of ten times as many lines,
// in alternating runs, each shown, searched, saved, selected whole and copied; it prints the
// ratios of the medians as targets 9 to 12. Ratios of runs made side by side hold on a busy
// machine far better than the times themselves.
#include "benchsupport.h"
#include "designedapplication.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// Targets: ratio to lumatra-report, event gap, report shown, memory, find, save, scroll.
constexpr double kWindowRatio = 2.0;
constexpr double kMaxGapMs = 100.0;
constexpr double kShownSeconds = 3.0;
constexpr double kMaxMemoryMiB = 300.0;
constexpr double kFindSeconds = 1.0;
constexpr double kSaveSeconds = 1.5;
// "Immediate": well under what a person notices.
constexpr double kScrollSeconds = 0.1;

// Writes a pair of files of size bytes, of the same pseudo-random content except that every
// differEvery-th byte of file 2 is changed (none when differEvery is 0).
bool WritePair(const QString& path1, const QString& path2, qint64 size, qint64 differEvery)
{
    QFile files[2] = {QFile(path1), QFile(path2)};
    for (QFile& file : files) {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
    }
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 done = 0; done < size; done += chunk.size()) {
        chunk.resize(int(std::min<qint64>(chunk.size(), size - done)));
        for (char& c : chunk) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            c = char(state >> 56);
        }
        if (files[0].write(chunk) != chunk.size())
            return false;
        if (differEvery > 0) {
            for (qint64 i = (differEvery - done % differEvery) % differEvery; i < chunk.size();
                 i += differEvery)
                chunk[i] = char(chunk[i] ^ 0x5A);
        }
        if (files[1].write(chunk) != chunk.size())
            return false;
    }
    return true;
}

// Measures how late the event loop serves a 10 ms timer: the longest gap between two of its
// turns is the longest time the window did not answer.
class EventGapMeter : public QObject
{
  public:
    EventGapMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void Start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_timer.start(10);
    }
    // Closes the last gap too: the time since the last turn counts.
    double StopMs()
    {
        m_timer.stop();
        m_longest = std::max(m_longest, m_clock.nsecsElapsed() - m_last);
        return double(m_longest) / 1e6;
    }

  private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Records what the status panel showed each time it was painted: the proof that the window
// repainted during the run and showed the percentage.
class StatusWatcher : public QObject
{
  public:
    explicit StatusWatcher(QLabel& panel) : m_panel(panel) { panel.installEventFilter(this); }
    void Start()
    {
        percentPaints = 0;
        doneSeconds = -1;
        m_clock.start();
    }
    int percentPaints = 0;
    double doneSeconds = -1;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_panel && event->type() == QEvent::Paint) {
            if (m_panel.text().endsWith(u'%'))
                ++percentPaints;
            else if (m_panel.text() == u"Done!" && doneSeconds < 0)
                doneSeconds = double(m_clock.nsecsElapsed()) / 1e9;
        }
        return false;
    }

  private:
    QLabel& m_panel;
    QElapsedTimer m_clock;
};

struct Bench
{
    // Yes to the question after 1000 changes; the search text is set before each "Find".
    explicit Bench(fMAIN& window) : window(window), status(*StatusPanel(window))
    {
        answerer.SetStandingButton(QMessageBox::Yes);
    }

    fMAIN& window;
    EventGapMeter gaps;
    StatusWatcher status;
    ModalAnswerer answerer;
    QStringList targets;
};

// The questions answered Yes so far.
qsizetype Questions(const ModalAnswerer& answerer)
{
    return std::count_if(answerer.SeenBoxes().begin(), answerer.SeenBoxes().end(),
                         [](const SeenBox& box) { return box.answer == QMessageBox::Yes; });
}

struct RunTimes
{
    double toReturn = 0;  // click to the handler's return: "Done!" shown and the pane unfrozen
    double toShown = 0;   // ... and the pane painted with the report
    double processor = 0; // processor time of the run
    double maxGapMs = 0;
    int percentPaints = 0;
    bool done = false;
};

void TypeInto(QLineEdit* field, const QString& text)
{
    field->clear();
    QTest::keyClicks(field, text);
}

RunTimes CompareInWindow(Bench& bench, const QString& path1, const QString& path2)
{
    fMAIN& window = bench.window;
    TypeInto(Control<QLineEdit>(window, "txtFILE1"), path1);
    TypeInto(Control<QLineEdit>(window, "txtFILE2"), path2);
    TypeInto(Control<QLineEdit>(window, "txtOFS1"), QStringLiteral("0"));
    TypeInto(Control<QLineEdit>(window, "txtOFS2"), QStringLiteral("0"));
    QTest::mouseClick(Control<QRadioButton>(window, "optNormal"), Qt::LeftButton);
    Control<QCheckBox>(window, "chkChars")->setChecked(false);
    QApplication::processEvents();

    RunTimes times;
    bench.status.Start();
    bench.gaps.Start();
    const double processorBefore = ProcessorSeconds();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(Control<QPushButton>(window, "cmdRUN"), Qt::LeftButton);
    times.toReturn = double(clock.nsecsElapsed()) / 1e9;
    QApplication::processEvents();
    Pane(window)->viewport()->repaint();
    times.toShown = double(clock.nsecsElapsed()) / 1e9;
    times.processor = ProcessorSeconds() - processorBefore;
    times.maxGapMs = bench.gaps.StopMs();
    times.percentPaints = bench.status.percentPaints;
    times.done = bench.status.doneSeconds >= 0 || StatusPanel(window)->text() == u"Done!";
    return times;
}

// lumatra-report on the pair, its report thrown away; seconds, or -1 when it failed.
double RunReport(const QString& program, const QString& path1, const QString& path2)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, {path1, path2});
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() > 1)
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

QString GapText(double ms)
{
    return QString::number(ms, 'f', 0) + QStringLiteral(" ms");
}

bool IdenticalPair(Bench& bench, const QTemporaryDir& dir, const QString& report, int runs)
{
    const qint64 size = qint64(Setting("LUMATRA_BENCH_WINDOW_MIB", 1024)) << 20;
    const QString path1 = dir.filePath(QStringLiteral("same1.bin"));
    const QString path2 = dir.filePath(QStringLiteral("same2.bin"));
    Say(QStringLiteral("identical pair of %1 MiB").arg(size >> 20));
    if (!WritePair(path1, path2, size, 0)) {
        Say(QStringLiteral("window-bench: cannot write the identical pair"));
        return false;
    }
    // Warms the page cache, so that both sides read from memory.
    RunReport(report, path1, path2);

    std::vector<double> reportTimes, windowTimes;
    double maxGap = 0;
    int leastPercents = INT_MAX;
    bool allDone = true;
    for (int run = 1; run <= runs; ++run) {
        const double cli = RunReport(report, path1, path2);
        const RunTimes window = CompareInWindow(bench, path1, path2);
        if (cli < 0) {
            Say(QStringLiteral("window-bench: lumatra-report failed"));
            return false;
        }
        reportTimes.push_back(cli);
        windowTimes.push_back(window.toReturn);
        maxGap = std::max(maxGap, window.maxGapMs);
        leastPercents = std::min(leastPercents, window.percentPaints);
        allDone = allDone && window.done;
        Say(QStringLiteral("  run %1: lumatra-report %2, window click to Done! %3, "
                           "longest event gap %4, %5 status paints with a percentage")
                .arg(run)
                .arg(Seconds(cli), Seconds(window.toReturn), GapText(window.maxGapMs))
                .arg(window.percentPaints));
    }
    QFile::remove(path1);
    QFile::remove(path2);

    const double cli = Median(reportTimes);
    const double window = Median(windowTimes);
    const bool met =
        window <= kWindowRatio * cli && maxGap <= kMaxGapMs && leastPercents > 0 && allDone;
    Say(QStringLiteral("  median: lumatra-report %1, window %2, ratio %3")
            .arg(Seconds(cli), Seconds(window), QString::number(window / cli, 'f', 2)));
    bench.targets.append(
        QStringLiteral("target 4: window on the identical %1 MiB pair, click to Done! %2 = "
                       "%3 x lumatra-report (at most %4 x), longest event gap %5 (at most %6), "
                       "percentage painted in every run: %7")
            .arg(size >> 20)
            .arg(Seconds(window), QString::number(window / cli, 'f', 2),
                 QString::number(kWindowRatio, 'f', 1), GapText(maxGap), GapText(kMaxGapMs),
                 Verdict(met)));
    return true;
}

double TimeFind(Bench& bench, const QString& text, QString& how)
{
    ResultPane& pane = *Pane(bench.window);
    pane.moveCursor(QTextCursor::Start);
    bench.answerer.SetStandingText(text);
    const qsizetype boxesBefore = bench.answerer.SeenInputs().size();
    QElapsedTimer clock;
    clock.start();
    Control<QAction>(bench.window, "mnuFIND")->trigger();
    double elapsed = double(clock.nsecsElapsed()) / 1e9;
    if (bench.answerer.SeenInputs().size() > boxesBefore) {
        how = QStringLiteral("the Find command");
    } else {
        // The command is not there yet: time the pane's own search from the report's start.
        how = QStringLiteral("QPlainTextEdit::find, the Find command does not work yet");
        pane.moveCursor(QTextCursor::Start);
        clock.restart();
        pane.find(text);
        elapsed = double(clock.nsecsElapsed()) / 1e9;
    }
    if (pane.textCursor().selectedText().compare(text, Qt::CaseInsensitive) != 0)
        return -1;
    return elapsed;
}

double TimeSave(Bench& bench, const QString& path, QString& how)
{
    fMAIN& window = bench.window;
    // An existing file: "Save Result" writes to it without asking for a name.
    QFile(path).open(QIODevice::WriteOnly | QIODevice::Truncate);
    window.ResultFile = path;
    QElapsedTimer clock;
    clock.start();
    Control<QAction>(window, "mnuSAVE")->trigger();
    double elapsed = double(clock.nsecsElapsed()) / 1e9;
    if (QFileInfo(path).size() > 0) {
        how = QStringLiteral("the Save Result command");
        return elapsed;
    }
    // The command is not there yet: time what it will do, the text with CR LF line breaks
    // written in one piece.
    how = QStringLiteral("toPlainText with CR LF through QSaveFile, the Save Result command does "
                         "not work yet");
    clock.restart();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    QString text = Pane(window)->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    file.write(text.toUtf8());
    if (!file.commit())
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

// A key pressed in the pane with the caret at the start, and the repaint that shows its
// effect, in seconds.
double TimeKeyFromStart(ResultPane& pane, Qt::Key key)
{
    pane.moveCursor(QTextCursor::Start);
    pane.setFocus();
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(&pane, key, Qt::ControlModifier);
    pane.viewport()->repaint();
    return double(clock.nsecsElapsed()) / 1e9;
}

// Ctrl+A in the pane and the repaint that shows the selection; -1 unless all is selected.
double TimeSelectAll(Bench& bench)
{
    ResultPane& pane = *Pane(bench.window);
    const double elapsed = TimeKeyFromStart(pane, Qt::Key_A);
    const QTextCursor cursor = pane.textCursor();
    return cursor.selectionStart() == 0 &&
                   cursor.selectionEnd() == pane.document()->characterCount() - 1
               ? elapsed
               : -1;
}

// "Copy" of the selection; -1 unless the clipboard then holds chars characters. The clipboard
// is emptied afterwards, so that its copy of the report is not counted later.
double TimeCopy(Bench& bench, qint64 chars)
{
    QElapsedTimer clock;
    clock.start();
    Control<QAction>(bench.window, "mnuCOPY")->trigger();
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    const qint64 copied = QApplication::clipboard()->text().size();
    QApplication::clipboard()->clear();
    return copied == chars ? elapsed : -1;
}

double TimeScrollToEnd(Bench& bench)
{
    ResultPane& pane = *Pane(bench.window);
    const double elapsed = TimeKeyFromStart(pane, Qt::Key_End);
    const QScrollBar* bar = pane.verticalScrollBar();
    return bar->value() == bar->maximum() && bar->maximum() > 0 ? elapsed : -1;
}

bool MillionLines(Bench& bench, const QTemporaryDir& dir, int runs)
{
    const int lines = Setting("LUMATRA_BENCH_LINES", 1000000);
    constexpr int kEvery = 16; // each changed byte on its own line, between equal ones
    const QString path1 = dir.filePath(QStringLiteral("many1.bin"));
    const QString path2 = dir.filePath(QStringLiteral("many2.bin"));
    Say(QStringLiteral("report of %1 lines (%2 changed bytes, Normal layout, Yes to the "
                       "question)")
            .arg(lines)
            .arg(lines));
    if (!WritePair(path1, path2, qint64(lines) * kEvery, kEvery)) {
        Say(QStringLiteral("window-bench: cannot write the pair"));
        return false;
    }
    const bool peakReset = ResetPeakMemory();

    std::vector<double> shownTimes;
    for (int run = 1; run <= runs; ++run) {
        const qsizetype questionsBefore = Questions(bench.answerer);
        const RunTimes times = CompareInWindow(bench, path1, path2);
        shownTimes.push_back(times.toShown);
        Say(QStringLiteral("  run %1: click to Done! %2, to the report shown %3 (processor %7), "
                           "%4 lines in the pane, question answered: %5, longest event gap %6")
                .arg(run)
                .arg(Seconds(times.toReturn), Seconds(times.toShown))
                .arg(Pane(bench.window)->toPlainText().count(u'\n'))
                .arg(Questions(bench.answerer) > questionsBefore ? QStringLiteral("yes")
                                                                 : QStringLiteral("no"))
                .arg(GapText(times.maxGapMs), Seconds(times.processor)));
    }
    const double shownMemory = PeakMemoryMiB();

    // Near the end: the label of the tenth changed byte from the last.
    const QString nearEnd =
        QStringLiteral("%1:").arg(qint64(lines - 10) * kEvery, 8, 16, QLatin1Char('0')).toUpper();
    QString findHow, saveHow;
    const double find = TimeFind(bench, nearEnd, findHow);
    const double save = TimeSave(bench, dir.filePath(QStringLiteral("report.txt")), saveHow);
    const double scroll = TimeScrollToEnd(bench);
    const double memory = PeakMemoryMiB();
    Say(QStringLiteral("  find of \"%1\" from the start: %2 (%3)")
            .arg(nearEnd, find < 0 ? QStringLiteral("not found") : Seconds(find), findHow));
    Say(QStringLiteral("  save of %1 MiB: %2 (%3)")
            .arg(QString::number(
                     double(QFileInfo(dir.filePath(QStringLiteral("report.txt"))).size()) / kMiB,
                     'f', 1),
                 save < 0 ? QStringLiteral("failed") : Seconds(save), saveHow));
    Say(QStringLiteral("  scroll to the end (Ctrl+End and a repaint): %1")
            .arg(scroll < 0 ? QStringLiteral("did not reach the end") : Seconds(scroll)));
    Say(QStringLiteral("  peak memory: %1 MiB with the report shown, %2 MiB after find and save%3")
            .arg(QString::number(shownMemory, 'f', 0), QString::number(memory, 'f', 0),
                 peakReset ? QString() : QStringLiteral(" (since the program started)")));
    if (!bench.answerer.Unexpected().isEmpty())
        Say(QStringLiteral("  unexpected dialogs: ") +
            bench.answerer.Unexpected().join(QStringLiteral(", ")));

    const double shown = Median(shownTimes);
    bench.targets.append(
        QStringLiteral("target 5: %1-line report, click to shown %2 (at most %3), peak memory "
                       "%4 MiB (at most %5 MiB): %6")
            .arg(lines)
            .arg(Seconds(shown), Seconds(kShownSeconds), QString::number(memory, 'f', 0),
                 QString::number(kMaxMemoryMiB, 'f', 0),
                 Verdict(shown <= kShownSeconds && memory >= 0 && memory <= kMaxMemoryMiB)));
    const bool findMet = find >= 0 && find < kFindSeconds;
    const bool saveMet = save >= 0 && save < kSaveSeconds;
    const bool scrollMet = scroll >= 0 && scroll < kScrollSeconds;
    bench.targets.append(
        QStringLiteral("target 6: Find near the end %1 (under %2), Save Result %3 (under %4), "
                       "scroll to the end %5 (under %6): %7")
            .arg(find < 0 ? QStringLiteral("failed") : Seconds(find), Seconds(kFindSeconds),
                 save < 0 ? QStringLiteral("failed") : Seconds(save), Seconds(kSaveSeconds),
                 scroll < 0 ? QStringLiteral("failed") : Seconds(scroll), Seconds(kScrollSeconds),
                 Verdict(findMet && saveMet && scrollMet)));
    return true;
}

// One report size of the scaling mode: medians over the runs.
struct ScaleSize
{
    int lines = 0;
    QString path1, path2;
    std::vector<double> shown, find, save, selectAll, copy;
    // A second Find and a second Copy of the same report, right after the first
    std::vector<double> findAgain, copyAgain;
    double longestGapMs = 0; // during Find, Save Result and Copy
};

// Shows, searches, saves, selects and copies one report, adding the times to size. With
// peaks, the peak memory is measured from the comparison on: with the report shown, and after
// the search and the save. False when a step failed.
bool ScaleRun(Bench& bench, const QTemporaryDir& dir, ScaleSize& size, int run,
              double* peaks = nullptr)
{
    constexpr int kEvery = 16;
    if (peaks != nullptr && !ResetPeakMemory())
        peaks = nullptr;
    const RunTimes times = CompareInWindow(bench, size.path1, size.path2);
    if (peaks != nullptr)
        peaks[0] = PeakMemoryMiB();
    const QString nearEnd = QStringLiteral("%1:")
                                .arg(qint64(size.lines - 10) * kEvery, 8, 16, QLatin1Char('0'))
                                .toUpper();
    const QString reportPath = dir.filePath(QStringLiteral("report.txt"));
    QString how;
    bench.gaps.Start();
    const double find = TimeFind(bench, nearEnd, how);
    const double findAgain = TimeFind(bench, nearEnd, how);
    double gap = bench.gaps.StopMs();
    bench.gaps.Start();
    const double save = TimeSave(bench, reportPath, how);
    gap = std::max(gap, bench.gaps.StopMs());
    if (peaks != nullptr)
        peaks[1] = PeakMemoryMiB();
    const double mib = double(QFileInfo(reportPath).size()) / kMiB;
    QFile::remove(reportPath);
    const double selectAll = TimeSelectAll(bench);
    bench.gaps.Start();
    const qint64 chars = Pane(bench.window)->document()->characterCount() - 1;
    const double copy = TimeCopy(bench, chars);
    const double copyAgain = TimeCopy(bench, chars);
    gap = std::max(gap, bench.gaps.StopMs());
    Say(QStringLiteral("  run %1, %2 lines: to the report shown %3, find %4, save of %5 MiB: "
                       "%6, select-all %7, copy %8, longest event gap of find, save and copy "
                       "%9; load %10")
            .arg(run)
            .arg(size.lines)
            .arg(Seconds(times.toShown), Seconds(find), QString::number(mib, 'f', 1), Seconds(save),
                 Seconds(selectAll), Seconds(copy), GapText(gap), LoadText()));
    if (find < 0 || findAgain < 0 || save < 0 || selectAll < 0 || copy < 0 || copyAgain < 0) {
        Say(QStringLiteral("window-bench: a step failed (a negative time above)"));
        return false;
    }
    size.shown.push_back(times.toShown);
    size.find.push_back(find);
    size.save.push_back(save);
    size.selectAll.push_back(selectAll);
    size.copy.push_back(copy);
    size.findAgain.push_back(findAgain);
    size.copyAgain.push_back(copyAgain);
    size.longestGapMs = std::max(size.longestGapMs, gap);
    return true;
}

bool Scaling(Bench& bench, const QTemporaryDir& dir, int runs)
{
    constexpr int kEvery = 16;
    constexpr double kMaxRatio = 12.0;
    constexpr double kMaxPeakMiB = 1024.0;
    constexpr double kMaxGapMsWhileBusy = 250.0;
    // Below this an operation is immediate at either size, and its ratio only noise.
    constexpr double kImmediateSeconds = 0.1;
    const int small = Setting("LUMATRA_BENCH_LINES", 1000000);
    ScaleSize sizes[2];
    for (int i = 0; i < 2; ++i) {
        ScaleSize& size = sizes[i];
        size.lines = i == 0 ? small : small * 10;
        size.path1 = dir.filePath(QStringLiteral("scale%1-1.bin").arg(i));
        size.path2 = dir.filePath(QStringLiteral("scale%1-2.bin").arg(i));
        if (!WritePair(size.path1, size.path2, qint64(size.lines) * kEvery, kEvery)) {
            Say(QStringLiteral("window-bench: cannot write the pair"));
            return false;
        }
    }
    Say(QStringLiteral("scaling: reports of %1 and %2 lines (Normal layout, Yes to the "
                       "question), %3 runs each, alternating; load %4")
            .arg(sizes[0].lines)
            .arg(sizes[1].lines)
            .arg(runs)
            .arg(LoadText()));
    double peaks[2] = {-1, -1};
    for (int run = 1; run <= runs; ++run) {
        if (!ScaleRun(bench, dir, sizes[0], run) ||
            !ScaleRun(bench, dir, sizes[1], run, run == 1 ? peaks : nullptr))
            return false;
    }
    Say(QStringLiteral("  peak memory: %1 MiB with the report shown, %2 MiB after find and save "
                       "(%3 lines)")
            .arg(QString::number(peaks[0], 'f', 0), QString::number(peaks[1], 'f', 0))
            .arg(sizes[1].lines));

    struct Ratio
    {
        double small, large, ratio;
        bool met;
    };
    const auto ratioOf = [&](std::vector<double> ScaleSize::*times, bool immediateCounts) {
        Ratio r{Median(sizes[0].*times), Median(sizes[1].*times), 0, false};
        r.ratio = r.large / std::max(r.small, 1e-6);
        r.met = r.ratio <= kMaxRatio || (immediateCounts && r.large < kImmediateSeconds);
        return r;
    };
    const auto ratioText = [](const Ratio& r) {
        return Seconds(r.small) + QStringLiteral(" -> ") + Seconds(r.large) +
               QStringLiteral(" = x ") + QString::number(r.ratio, 'f', 1);
    };
    const Ratio shown = ratioOf(&ScaleSize::shown, false);
    const Ratio save = ratioOf(&ScaleSize::save, false);
    const Ratio find = ratioOf(&ScaleSize::find, true);
    const Ratio copy = ratioOf(&ScaleSize::copy, true);
    const Ratio selectAll = ratioOf(&ScaleSize::selectAll, true);
    const Ratio findAgain = ratioOf(&ScaleSize::findAgain, true);
    const Ratio copyAgain = ratioOf(&ScaleSize::copyAgain, true);
    const double gap = std::max(sizes[0].longestGapMs, sizes[1].longestGapMs);
    const QString scale = QStringLiteral("%1 -> %2 lines").arg(sizes[0].lines).arg(sizes[1].lines);
    Say(QStringLiteral("  medians: %1; load %2").arg(scale, LoadText()));
    // The first Find is the first reading of the report's text since the C library moved it
    // (see moved-pages above); the first Copy fills memory new to the process.
    Say(QStringLiteral("  again on the same report: Find %1, Copy %2")
            .arg(ratioText(findAgain), ratioText(copyAgain)));
    bench.targets.append(
        QStringLiteral("target 9: %1, click to shown %2 (at most x %3): %4")
            .arg(scale, ratioText(shown), QString::number(kMaxRatio, 'f', 0), Verdict(shown.met)));
    bench.targets.append(
        QStringLiteral("target 10: %1, Save Result %2 (at most x %3): %4")
            .arg(scale, ratioText(save), QString::number(kMaxRatio, 'f', 0), Verdict(save.met)));
    bench.targets.append(
        QStringLiteral("target 11: peak memory at %1 lines after find and save %2 MiB (at most "
                       "%3 MiB): %4")
            .arg(sizes[1].lines)
            .arg(QString::number(peaks[1], 'f', 0), QString::number(kMaxPeakMiB, 'f', 0),
                 Verdict(peaks[1] >= 0 && peaks[1] <= kMaxPeakMiB)));
    bench.targets.append(
        QStringLiteral("target 12: %1, Find %2, Copy of the whole report %3, select-all %4 (each "
                       "at most x %5, or under %6 at the larger size), longest event gap of Save "
                       "Result, Find and Copy %7 (at most %8): %9")
            .arg(scale, ratioText(find), ratioText(copy), ratioText(selectAll),
                 QString::number(kMaxRatio, 'f', 0), Seconds(kImmediateSeconds), GapText(gap),
                 GapText(kMaxGapMsWhileBusy),
                 Verdict(find.met && copy.met && selectAll.met && gap <= kMaxGapMsWhileBusy)));
    for (const ScaleSize& size : sizes) {
        QFile::remove(size.path1);
        QFile::remove(size.path2);
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    DesignedApplication app(argc, argv);
    const QStringList args = app.Arguments(2, 3, "window-bench LUMATRA-REPORT [FOLDER]");
    if (args.isEmpty())
        return 2;
    QTemporaryDir dir(args.size() == 3 ? args[2] + QStringLiteral("/window-bench-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/window-bench-XXXXXX"));
    if (!dir.isValid()) {
        std::fputs("window-bench: cannot make a temporary folder\n", stderr);
        return 2;
    }
    const int runs = Setting("LUMATRA_BENCH_RUNS", 3);

    fMAIN window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;
    Bench bench(window);
    const bool ok =
        qEnvironmentVariableIsSet("LUMATRA_BENCH_SCALE")
            ? Scaling(bench, dir, runs)
            : IdenticalPair(bench, dir, args[1], runs) && MillionLines(bench, dir, runs);
    for (const QString& target : bench.targets)
        Say(target);
    return ok ? 0 : 2;
}
