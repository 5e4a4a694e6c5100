// PDF export from the command line against a floor program that writes the
// same kind of page with QPdfWriter alone: one invoice as a whole process,
// and a batch of invoices per invoice. Medians of several runs.

#include "bench/benchutil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSingleRuns = 21;
constexpr int kBatchRuns = 3;
constexpr int kBatchSize = 1000;
constexpr double kSingleBudget = 1.8;
constexpr double kBatchBudget = 1.5;

// An invoice of 20 rows in the saved format.
QByteArray invoiceFile(int number)
{
    QByteArray bytes = "\"" + QByteArray::number(number) + "\",\"1.12.2026\",\"1009\",\"1234567-8\",\"1\"\r\n"
                       "\"Matti Meik\xe4l\xe4inen\",\"Kuusikatu 1\",\"00100 HELSINKI\",\" \"\r\n";
    for (int r = 1; r <= 20; ++r)
        bytes += "\" \",\"Suunnittelu ja toteutus " + QByteArray::number(r) + "\",2,h,\"50,00\",\"25,5\",\"125,50\"\r\n";
    return bytes;
}

struct Command
{
    QString program;
    QStringList arguments;
};

// The median wall time of each command, the commands run in turn so that a
// busy spell of the machine weighs on all of them alike.
std::optional<QList<double>> interleavedMedians(int runs, const QList<Command> &commands)
{
    QList<QList<qint64>> times(commands.size());
    for (int i = 0; i < runs; ++i) {
        for (qsizetype c = 0; c < commands.size(); ++c) {
            const std::optional<qint64> t = timeChild(commands[c].program, commands[c].arguments);
            if (!t)
                return std::nullopt;
            times[c].append(*t);
        }
    }
    QList<double> medians;
    for (const QList<qint64> &values : std::as_const(times))
        medians.append(median(values));
    return medians;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString program = dir.filePath(u"laskutus"_s);
    if (!QFile::copy(QStringLiteral(BENCH_PROGRAM_PATH), program))
        return 1;
    QFile settings(dir.filePath(u"laskutus.INI"_s));
    if (!settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write("[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\nViivakoodi=1\r\n");
    settings.close();
    QStringList inputs;
    for (int i = 1; i <= kBatchSize; ++i) {
        QFile file(dir.filePath(u"%1.csv"_s.arg(i)));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(invoiceFile(i));
        inputs.append(file.fileName());
    }
    const QString floor = QStringLiteral(BENCH_FLOOR_PATH);
    const QString pdf = dir.filePath(u"yksi.pdf"_s);

    const auto singles = interleavedMedians(kSingleRuns, {{program, {u"--pdf"_s, pdf, inputs.constFirst()}},
                                                           {floor, {pdf, u"1"_s}}});
    // The floor writes the pages all in one file, and one file per page as
    // the batch writes one per invoice.
    const auto batches = interleavedMedians(kBatchRuns, {{program, QStringList{u"--pdf"_s, dir.filePath(u"pdf"_s)} + inputs},
                                                         {floor, {pdf, QString::number(kBatchSize)}},
                                                         {floor, {pdf, u"1"_s, QString::number(kBatchSize)}}});
    if (!singles || !batches)
        return 1;
    const double single = singles->at(0);
    const double singleFloor = singles->at(1);
    const double batch = batches->at(0);
    const double batchFloor = batches->at(1);
    const double filesFloor = batches->at(2);

    // Each invoice is a PDF file of its own with its own subset fonts, so the
    // batch is held against the floor writing one file per page; the floor's
    // pages in one file (fonts embedded once) are shown for comparison.
    const double ms = 1e6;
    out() << "One invoice, whole process: " << single / ms << " ms, floor " << singleFloor / ms
          << " ms, ratio " << single / singleFloor << " (budget " << kSingleBudget << ")" << Qt::endl;
    out() << kBatchSize << " invoices, per invoice: " << batch / ms / kBatchSize << " ms, floor per file "
          << filesFloor / ms / kBatchSize << " ms, ratio " << batch / filesFloor << " (budget " << kBatchBudget
          << ")" << Qt::endl;
    out() << "Floor with all pages in one file: " << batchFloor / ms / kBatchSize << " ms per page, batch ratio "
          << batch / batchFloor << Qt::endl;
    return 0;
}
