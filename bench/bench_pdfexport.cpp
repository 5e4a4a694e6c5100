// PDF export from the command line against a floor program that writes the
// same pages with QPdfWriter alone: one invoice as a whole process, and a
// batch of invoices into a folder per invoice, with the bank barcode and
// with the QR code too. Medians of several runs.

#include "bench/benchutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSingleRuns = 21;
constexpr int kBatchRuns = 5;
constexpr int kBatchSize = 200;
constexpr double kSingleBudget = 1.8;
constexpr double kBatchBudget = 1.2;

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
    /// An output folder emptied before each run, so that every run writes new files.
    QString outputFolder;
};

// The median wall time of each command, the commands run in turn so that a
// busy spell of the machine weighs on all of them alike.
std::optional<QList<double>> interleavedMedians(int runs, const QList<Command> &commands)
{
    QList<QList<qint64>> times(commands.size());
    for (int i = 0; i < runs; ++i) {
        for (qsizetype c = 0; c < commands.size(); ++c) {
            if (!commands[c].outputFolder.isEmpty())
                QDir(commands[c].outputFolder).removeRecursively();
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

// The texts of the program's PDF of one invoice as pdftohtml lists them, for
// the floor to draw; empty when the program or pdftohtml failed.
QString pageTexts(const QString &program, const QStringList &profile, const QString &invoice, const QString &folder)
{
    const QString pdf = folder + u"/malli.pdf"_s;
    const QString texts = folder + u"/malli.xml"_s;
    if (!timeChild(program, profile + QStringList{u"--pdf"_s, pdf, invoice}))
        return {};
    QProcess tool;
    tool.start(u"pdftohtml"_s, {u"-xml"_s, u"-i"_s, u"-zoom"_s, u"1"_s, u"-stdout"_s, u"-q"_s, pdf});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        out() << "pdftohtml (poppler-utils) failed: " << tool.errorString() << Qt::endl;
        return {};
    }
    QFile file(texts);
    if (!file.open(QIODevice::WriteOnly) || file.write(tool.readAllStandardOutput()) <= 0)
        return {};
    return texts;
}

// The load averages of the machine over 1, 5 and 15 minutes.
QString loadAverages()
{
    QFile file(u"/proc/loadavg"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).section(u' ', 0, 2) : u"?"_s;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString program = dir.filePath(u"laskutus"_s);
    if (!QFile::copy(QStringLiteral(BENCH_PROGRAM_PATH), program))
        return 1;
    const QByteArray biller = "[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\nViivakoodi=1\r\n";
    QFile settings(dir.filePath(u"laskutus.INI"_s));
    QFile qrSettings(dir.filePath(u"qr.ini"_s));
    if (!settings.open(QIODevice::WriteOnly) || !qrSettings.open(QIODevice::WriteOnly))
        return 1;
    settings.write(biller);
    qrSettings.write(biller + "QrKoodi=1\r\n");
    settings.close();
    qrSettings.close();
    QStringList inputs;
    for (int i = 1; i <= kBatchSize; ++i) {
        QFile file(dir.filePath(u"%1.csv"_s.arg(i)));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(invoiceFile(i));
        inputs.append(file.fileName());
    }
    out() << "Load average before: " << loadAverages() << Qt::endl;
    const QString floor = QStringLiteral(BENCH_FLOOR_PATH);
    const QStringList qrProfile{u"--profile"_s, u"qr"_s};
    QDir(dir.path()).mkpath(u"barcode"_s);
    QDir(dir.path()).mkpath(u"qr"_s);
    const QString texts = pageTexts(program, {}, inputs.constFirst(), dir.filePath(u"barcode"_s));
    const QString qrTexts = pageTexts(program, qrProfile, inputs.constFirst(), dir.filePath(u"qr"_s));
    if (texts.isEmpty() || qrTexts.isEmpty())
        return 1;
    const QString pdf = dir.filePath(u"yksi.pdf"_s);
    const QString pdfFolder = dir.filePath(u"pdf"_s);
    const QString floorFolder = dir.filePath(u"lattia"_s);
    const QString batch = QString::number(kBatchSize);

    const auto singles = interleavedMedians(kSingleRuns, {{program, {u"--pdf"_s, pdf, inputs.constFirst()}, {}},
                                                           {floor, {texts, floorFolder, u"1"_s}, floorFolder}});
    const auto batches = interleavedMedians(
        kBatchRuns, {{program, QStringList{u"--pdf"_s, pdfFolder} + inputs, pdfFolder},
                     {floor, {texts, floorFolder, batch}, floorFolder},
                     {program, qrProfile + QStringList{u"--pdf"_s, pdfFolder} + inputs, pdfFolder},
                     {floor, {qrTexts, floorFolder, batch, u"--qr"_s}, floorFolder}});
    if (!singles || !batches)
        return 1;

    const double ms = 1e6;
    out() << "One invoice, whole process: " << singles->at(0) / ms << " ms, floor " << singles->at(1) / ms
          << " ms, ratio " << singles->at(0) / singles->at(1) << " (budget " << kSingleBudget << ")" << Qt::endl;
    const auto perInvoice = [&](const char *what, double program, double floor) {
        out() << kBatchSize << " invoices of 20 rows " << what << ", per invoice: " << program / ms / kBatchSize
              << " ms, floor per file " << floor / ms / kBatchSize << " ms, ratio " << program / floor
              << " (budget " << kBatchBudget << ")" << Qt::endl;
    };
    perInvoice("with the bank barcode", batches->at(0), batches->at(1));
    perInvoice("with the bank barcode and the QR code", batches->at(2), batches->at(3));
    out() << "Load average after: " << loadAverages() << Qt::endl;
    return 0;
}
