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

constexpr int kSingleRuns = 9;
constexpr int kBatchRuns = 3;
constexpr int kBatchSize = 1000;
constexpr double kSingleBudget = 1.6;
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

std::optional<double> medianOf(int runs, const QString &program, const QStringList &arguments)
{
    QList<qint64> times;
    for (int i = 0; i < runs; ++i) {
        const std::optional<qint64> t = timeChild(program, arguments);
        if (!t)
            return std::nullopt;
        times.append(*t);
    }
    return median(times);
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

    const auto single = medianOf(kSingleRuns, program, {u"--pdf"_s, pdf, inputs.constFirst()});
    const auto singleFloor = medianOf(kSingleRuns, floor, {pdf, u"1"_s});
    const auto batch = medianOf(kBatchRuns, program, QStringList{u"--pdf"_s, dir.filePath(u"pdf"_s)} + inputs);
    const auto batchFloor = medianOf(kBatchRuns, floor, {pdf, QString::number(kBatchSize)});
    // The same floor writing one file per page, as the batch writes one per invoice.
    const auto filesFloor = medianOf(kBatchRuns, floor, {pdf, u"1"_s, QString::number(kBatchSize)});
    if (!single || !singleFloor || !batch || !batchFloor || !filesFloor)
        return 1;

    // Each invoice is a PDF file of its own with its own subset fonts, so the
    // batch is held against the floor writing one file per page; the floor's
    // pages in one file (fonts embedded once) are shown for comparison.
    const double ms = 1e6;
    out() << "One invoice, whole process: " << *single / ms << " ms, floor " << *singleFloor / ms
          << " ms, ratio " << *single / *singleFloor << " (budget " << kSingleBudget << ")" << Qt::endl;
    out() << kBatchSize << " invoices, per invoice: " << *batch / ms / kBatchSize << " ms, floor per file "
          << *filesFloor / ms / kBatchSize << " ms, ratio " << *batch / *filesFloor << " (budget " << kBatchBudget
          << ")" << Qt::endl;
    out() << "Floor with all pages in one file: " << *batchFloor / ms / kBatchSize << " ms per page, batch ratio "
          << *batch / *batchFloor << Qt::endl;
    return 0;
}
