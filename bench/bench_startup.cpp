// Start-up time of the program against a floor of plain widgets, measured as
// whole child processes, then the cost of one invoice recalculation in-process.

#include "bench/benchutil.h"
#include "app/Unit1.h"
#include "widgets/stringgrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr double kBudget = 1.5;
constexpr int kRecalcWarmUp = 200;
constexpr int kRecalcRuns = 5000;

bool benchStartup(int runs)
{
    const QString program = QString::fromUtf8(BENCH_PROBE_PATH);
    const QString floor = QString::fromUtf8(BENCH_FLOOR_PATH);
    QTemporaryDir folder;
    if (!folder.isValid()) {
        out() << "No temporary folder: " << folder.errorString() << Qt::endl;
        return false;
    }
    const QStringList programArguments = {folder.path()};

    // One untimed run each brings libraries, plugins and font caches into memory.
    if (!timeChild(program, programArguments) || !timeChild(floor, {}))
        return false;

    // Alternating keeps slow drifts of the machine from favouring either side.
    QList<qint64> programTimes;
    QList<qint64> floorTimes;
    for (int i = 0; i < runs; ++i) {
        const auto programTime = timeChild(program, programArguments);
        const auto floorTime = timeChild(floor, {});
        if (!programTime || !floorTime)
            return false;
        programTimes.append(*programTime);
        floorTimes.append(*floorTime);
    }

    const double programMs = median(programTimes) / 1e6;
    const double floorMs = median(floorTimes) / 1e6;
    const double ratio = programMs / floorMs;
    out() << "Start-up, whole process, median of " << runs << " runs each:\n"
          << "  program " << QString::number(programMs, 'f', 1) << " ms\n"
          << "  floor   " << QString::number(floorMs, 'f', 1) << " ms\n"
          << "  ratio   " << QString::number(ratio, 'f', 2) << " (budget "
          << QString::number(kBudget, 'f', 2) << ", "
          << (ratio <= kBudget ? "within" : "OVER") << ")" << Qt::endl;
    return true;
}

bool benchRecalc()
{
    QTemporaryDir folder;
    if (!folder.isValid()) {
        out() << "No temporary folder: " << folder.errorString() << Qt::endl;
        return false;
    }
    TForm1 form(StartupOptions{folder.filePath(u"laskutus"_s), {}}, nullptr);
    form.show();
    QCoreApplication::processEvents();

    form.LisaRivit1->setChecked(true);
    StringGrid *grid = form.LaskuRivit1;
    const int rows = grid->rowCount();
    if (rows != 34) {
        out() << "Expected 34 grid rows with extra rows on, got " << rows << Qt::endl;
        return false;
    }
    // Mixed quantities, prices and rates so every row takes the full path.
    const QStringList rates = {u"25,5"_s, u"14"_s, u"10"_s, u"0"_s};
    for (int r = 1; r < rows; ++r) {
        grid->setCell(QuantityColumn, r, u"%1,5"_s.arg(r % 7 + 1));
        grid->setCell(PriceColumn, r, u"%1,%2"_s.arg(r * 37).arg(r % 100, 2, 10, QChar(u'0')));
        grid->setCell(VatColumn, r, rates[r % rates.size()]);
    }

    for (int i = 0; i < kRecalcWarmUp; ++i)
        form.RecalcInvoice();
    QList<qint64> times;
    times.reserve(kRecalcRuns);
    QElapsedTimer timer;
    for (int i = 0; i < kRecalcRuns; ++i) {
        timer.start();
        form.RecalcInvoice();
        times.append(timer.nsecsElapsed());
    }
    out() << "RecalcInvoice, " << rows - 1 << " rows, median of " << kRecalcRuns << " calls: "
          << QString::number(median(times) / 1e3, 'f', 1) << " us" << Qt::endl;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before QApplication, so this process too runs without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    int runs = 15;
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        bool ok = false;
        runs = arguments.at(1).toInt(&ok);
        if (!ok || runs < 1) {
            out() << "Usage: bench_startup [runs, default 15]" << Qt::endl;
            return 2;
        }
    }

    if (!benchStartup(runs) || !benchRecalc())
        return 1;
    return 0;
}
