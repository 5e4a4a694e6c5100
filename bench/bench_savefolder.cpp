// The save folder at size: a generated folder of invoice files over ten year
// folders with payments, reminders and credit notes, and the program run on
// it under /usr/bin/time -v: `--list` with its index in place, after the
// index was deleted (the rebuild), `--list YEAR`, and one `--reminder`
// against one `--pdf` of the same invoice. Medians of several runs; peak
// memory of the slowest kind of run.
//
//   bench_savefolder [INVOICES...]      default: 100 100000
//   bench_savefolder --generate DIR INVOICES   the folder alone, kept in DIR

#include "bench/benchutil.h"

#include "invoice/invoicedata.h"
#include "invoice/numbering.h"
#include "invoice/reminder.h"
#include "storage/cp1252.h"
#include "storage/folderindex.h"
#include "storage/invoicefile.h"
#include "storage/payments.h"
#include "storage/reminderfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int kYears = 10;
constexpr int kFirstYear = 2017;
constexpr int kRuns = 5;
// Of 100,000 invoices: 20,000 payments, 2,000 reminders, 500 credit notes.
constexpr int kInvoicesPerPayment = 5;
constexpr int kInvoicesPerReminder = 50;
constexpr int kInvoicesPerCreditNote = 200;

void writeFile(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += stringToCp1252(line) + "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QString referenceOf(int year, int number)
{
    return AppendCheckDigit(u"%1%2"_s.arg(year).arg(number, 6, 10, QChar(u'0')));
}

InvoiceData invoiceOf(int year, int number)
{
    const int day = number % 28 + 1;
    const int month = number % 12 + 1;
    InvoiceData data;
    data.header = {QString::number(number), u"%1.%2.%3"_s.arg(day).arg(month).arg(year), referenceOf(year, number),
                   QString(), QString::number(number % 900 + 1), u"1"_s, u"0"_s, u"14 pv netto"_s, u"8 %"_s,
                   u"7 pv"_s, QString()};
    data.customer = {u"Asiakas %1 Oy"_s.arg(number % 900 + 1), u"Katu %1"_s.arg(number % 90), u"00100 HELSINKI"_s,
                     QString()};
    for (int r = 1; r <= 3; ++r)
        data.rows.append({u"T%1"_s.arg(r), u"Työ %1"_s.arg(r), QString::number(r), u"h"_s,
                          u"%1,50"_s.arg(40 + number % 60), u"25,5"_s, QString()});
    return data;
}

// The save folder of `count` invoices in `data`; returns the path of the
// invoice measured (overdue, unpaid, without reminders).
QString generate(const QString &data, int count)
{
    const int perYear = std::max(1, count / kYears);
    QList<Payment> payments;
    int made = 0;
    for (int y = 0; y < kYears && made < count; ++y) {
        const int year = kFirstYear + y;
        const QString folder = data + QString::number(year) + u'/';
        QDir().mkpath(folder);
        for (int n = 1; n <= perYear && made < count; ++n, ++made) {
            InvoiceData invoice = invoiceOf(year, n);
            if (n % kInvoicesPerCreditNote == 0 && y > 0) {
                // A credit note of the year before's invoice of the same number.
                invoice.header.resize(HeaderFieldCount);
                invoice.header[CreditedYearField] = QString::number(year - 1);
                invoice.header[CreditedNumberField] = QString::number(n - 1);
                for (QStringList &row : invoice.rows)
                    row[QuantityColumn] = u"-"_s + row[QuantityColumn];
            }
            writeFile(folder + QString::number(n) + u".csv"_s, InvoiceFileLines(invoice));
            if (n % kInvoicesPerPayment == 2)
                payments.append({QString::number(year), QString::number(n), QDate(year, 12, 1), 5000,
                                 referenceOf(year, n), u"Maksaja"_s, u"A%1-%2"_s.arg(year).arg(n), u"pankki.xml"_s});
            if (n % kInvoicesPerReminder == 3) {
                Reminder reminder;
                reminder.year = QString::number(year);
                reminder.invoiceNumber = QString::number(n);
                reminder.invoiceDate = invoice.header[InvoiceDateField];
                reminder.dueDate = QDate(year, 1, 15);
                reminder.reference = referenceOf(year, n);
                reminder.originalCents = reminder.openCents = 20000;
                reminder.feeCents = 500;
                reminder.totalCents = 20500;
                reminder.date = QDate(year, 3, 1);
                reminder.newDueDate = QDate(year, 3, 15);
                writeFile(folder + ReminderFileName(reminder.invoiceNumber, 1), ReminderFileLines(reminder));
            }
        }
    }
    WritePaymentsFile(PaymentsFilePath(data), payments);
    // The measured invoice: dated in the new year, due long before the reminder.
    const QString measured = data + u"2026/1.csv"_s;
    InvoiceData invoice = invoiceOf(2026, 1);
    invoice.header[InvoiceDateField] = u"2.1.2026"_s;
    invoice.header[DueDateField] = u"16.1.2026"_s;
    QDir().mkpath(data + u"2026"_s);
    writeFile(measured, InvoiceFileLines(invoice));
    return measured;
}

void writeSettings(const QString &programFolder, const QString &data)
{
    writeFile(programFolder + u"laskutus.INI"_s, {u"[File]"_s, u"OletDir="_s + data, u"[Laskuttaja]"_s,
                                                  u"Nimi=Testi Oy"_s, u"IBAN=FI2112345600000785"_s,
                                                  u"BIC=NDEAFIHH"_s});
}

struct Measure
{
    double seconds = 0;
    qint64 peakKib = 0;
};

// The median wall time and the largest peak memory of runs of the program.
Measure measure(const QString &program, const QStringList &arguments, int runs,
                const std::function<void()> &before = {})
{
    QList<qint64> times;
    Measure result;
    for (int i = 0; i < runs; ++i) {
        if (before)
            before();
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        child.setProcessEnvironment(environment);
        child.setStandardOutputFile(QProcess::nullDevice());
        child.start(u"/usr/bin/time"_s, QStringList{u"-v"_s, program} + arguments);
        child.waitForFinished(600000);
        const QString report = QString::fromLocal8Bit(child.readAllStandardError());
        static const QRegularExpression wall(u"Elapsed \\(wall clock\\) time \\(h:mm:ss or m:ss\\): (?:(\\d+):)?(\\d+):([\\d.]+)"_s);
        static const QRegularExpression peak(u"Maximum resident set size \\(kbytes\\): (\\d+)"_s);
        const QRegularExpressionMatch w = wall.match(report);
        if (child.exitCode() != 0 || !w.hasMatch()) {
            out() << "Failed: " << arguments.join(u' ') << "\n" << report << Qt::endl;
            return result;
        }
        times.append(qint64((w.captured(1).toDouble() * 3600 + w.captured(2).toDouble() * 60
                             + w.captured(3).toDouble()) * 1000));
        result.peakKib = std::max(result.peakKib, peak.match(report).captured(1).toLongLong());
    }
    result.seconds = median(times) / 1000.0;
    return result;
}

QString row(const QString &what, const Measure &m)
{
    return u"| %1 | %2 s | %3 MiB |"_s.arg(what, -44).arg(m.seconds, 0, 'f', 2).arg(m.peakKib / 1024);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // "--generate DIR COUNT": the folder and its program alone, kept.
    if (app.arguments().value(1) == u"--generate"_s) {
        const QString folder = QDir(app.arguments().value(2)).absolutePath() + u'/';
        QDir().mkpath(folder + u"ohjelma"_s);
        QFile::copy(QStringLiteral(BENCH_PROGRAM_PATH), folder + u"ohjelma/laskutus"_s);
        writeSettings(folder + u"ohjelma/"_s, folder + u"data/"_s);
        out() << generate(folder + u"data/"_s, app.arguments().value(3).toInt()) << Qt::endl;
        return 0;
    }
    QList<int> counts;
    for (const QString &argument : app.arguments().mid(1))
        counts.append(argument.toInt());
    if (counts.isEmpty())
        counts = {100, 100000};
    for (const int count : counts) {
        QTemporaryDir dir;
        const QString data = dir.filePath(u"data/"_s);
        const QString programFolder = dir.filePath(u"ohjelma/"_s);
        QDir().mkpath(programFolder);
        const QString program = programFolder + u"laskutus"_s;
        QFile::copy(QStringLiteral(BENCH_PROGRAM_PATH), program);
        writeSettings(programFolder, data);
        QElapsedTimer generating;
        generating.start();
        const QString invoice = generate(data, count);
        out() << "\n" << count << " invoices generated in " << generating.elapsed() / 1000.0 << " s\n";
        out() << "| What | Median | Peak memory |\n|---|---|---|\n";
        const QString index = data + kIndexFileName.toString();
        out() << row(u"`--list`, index built (rebuild)"_s,
                     measure(program, {u"--list"_s}, 3, [&] { QFile::remove(index); }))
              << Qt::endl;
        out() << row(u"`--list`, index in place"_s, measure(program, {u"--list"_s}, kRuns)) << Qt::endl;
        out() << row(u"`--list 2026`"_s, measure(program, {u"--list"_s, u"2026"_s}, kRuns)) << Qt::endl;
        const QString pdf = dir.filePath(u"yksi.pdf"_s);
        out() << row(u"`--pdf` of one invoice"_s,
                     measure(program, {u"--pdf"_s, pdf, invoice}, kRuns, [&] { QFile::remove(pdf); }))
              << Qt::endl;
        const QString reminderFile = ReminderFilePath(data, u"2026"_s, u"1"_s, 1);
        out() << row(u"`--reminder` of the same invoice"_s,
                     measure(program, {u"--reminder"_s, pdf, u"--date"_s, u"15.6.2026"_s, invoice}, kRuns, [&] {
                         QFile::remove(pdf);
                         QFile::remove(reminderFile);
                     }))
              << Qt::endl;
    }
    return 0;
}
