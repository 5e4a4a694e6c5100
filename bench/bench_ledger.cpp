// The invoice ledger at 10,000 saved invoices, or at a save folder given with
// "--folder DIR" (bench_savefolder --generate makes one of 100,000): opening
// "Laskut" (the first time as the index is built, then from the index, the
// payments matched and the table filled), filtering the table at each
// keystroke in the search box, and the process's peak memory.

#include "bench/benchutil.h"
#include "app/Unit1.h"
#include "app/reportingprompter.h"
#include "invoice/numbering.h"
#include "storage/cp1252.h"
#include "storage/invoicefile.h"
#include "storage/ledgerwindow.h"
#include "storage/payments.h"
#include "storage/textfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int kInvoices = 10000;
constexpr int kOpenRuns = 5;
constexpr qint64 kOpenBudgetMs = 1000;
constexpr qint64 kKeystrokeBudgetMs = 20;
// Typed letter by letter, the box emptied between words.
const QStringList kSearches = {u"virtanen"_s, u"125,50"_s, u"4711"_s, u"mäkelä oy"_s};

const QStringList kCustomers = {u"Virtanen Oy"_s, u"Mäkelä Oy"_s, u"Korhonen Tmi"_s, u"Öljy-Nieminen"_s,
                                u"Äänekosken Sähkö Ky"_s, u"Laine Ay"_s, u"Heikkinen"_s, u"Åberg Ab"_s};

// Invoices of two years, three rows each; every third paid, some partly.
void writeSaveFolder(const QString &saveFolder)
{
    QRandomGenerator random(57);
    QList<Payment> payments;
    for (int i = 1; i <= kInvoices; ++i) {
        const QString year = i <= kInvoices / 2 ? u"2025"_s : u"2026"_s;
        const QString number = QString::number(i);
        const QDate date(year.toInt(), 1 + i % 12, 1 + i % 28);
        InvoiceData invoice;
        invoice.header = {number, DateText(date), AppendCheckDigit(number + u"0"_s), QString(),
                          QString::number(i % 900), YesNoText(false), YesNoText(false), u"14 pv netto"_s, u"8 %"_s, u"7 pv"_s,
                          DateText(date.addDays(14))};
        invoice.customer = {kCustomers[random.bounded(int(kCustomers.size()))], u"Katu 1"_s, u"00100 Helsinki"_s,
                            QString()};
        for (int row = 0; row < 3; ++row)
            invoice.rows.append({QString(), u"Työ"_s, QString::number(1 + random.bounded(9)), u"h"_s,
                                 u"%1,50"_s.arg(10 + random.bounded(200)), u"25,5"_s, QString()});
        QDir().mkpath(saveFolder + year);
        WriteTextLines(saveFolder + year + u'/' + number + u".csv"_s, InvoiceFileLines(invoice));
        if (i % 3 == 0)
            payments.append({year, number, date.addDays(10), 10000 + random.bounded(20000), QString(), QString(),
                             QString(), kManualPaymentSource.toString()});
    }
    WritePaymentsFile(PaymentsFilePath(saveFolder), payments);
}

void typeInto(QLineEdit *box, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

// The process's peak resident memory in KiB (VmHWM); 0 where unknown.
qint64 peakMemoryKib()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir program;
    const QStringList arguments = QApplication::arguments();
    const qsizetype given = arguments.indexOf(u"--folder"_s);
    QString saveFolder = program.filePath(u"laskut"_s) + u'/';
    if (given > 0 && given + 1 < arguments.size())
        saveFolder = QDir(arguments[given + 1]).absolutePath() + u'/';
    else
        writeSaveFolder(saveFolder);
    QFile settings(program.filePath(u"laskutus.INI"_s));
    if (!settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write(stringToCp1252(u"[File]\r\nOletDir="_s + saveFolder + u"\r\n"_s));
    settings.close();

    TForm1 form(StartupOptions{program.filePath(u"laskutus"_s), {}, QString(), false},
                std::make_unique<ReportingPrompter>(out()));
    QList<qint64> opens;
    QElapsedTimer first;
    first.start();
    form.Laskut1Click();
    QApplication::processEvents();
    out() << "First open (the index brought up to the files): " << first.nsecsElapsed() / 1e6 << " ms" << Qt::endl;
    for (int run = 0; run < kOpenRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        form.Laskut1Click();
        QApplication::processEvents();
        opens.append(timer.nsecsElapsed());
    }
    LedgerWindow *window = form.LedgerList;
    out() << "Rows shown: " << window->Ledger->rowCount() << "\n";
    out() << "Open \"Laskut\" (index, match payments, fill the table), median of " << kOpenRuns << ": "
          << median(opens) / 1e6 << " ms (budget " << kOpenBudgetMs << " ms)" << Qt::endl;

    QList<qint64> keystrokes;
    for (const QString &search : kSearches) {
        window->Haku->clear();
        for (const QChar c : search) {
            QElapsedTimer timer;
            timer.start();
            typeInto(window->Haku, QString(c));
            QApplication::processEvents();
            keystrokes.append(timer.nsecsElapsed());
        }
    }
    std::sort(keystrokes.begin(), keystrokes.end());
    out() << "Keystroke in the search box (filter and sums), median of " << keystrokes.size() << ": "
          << median(keystrokes) / 1e6 << " ms, slowest " << keystrokes.constLast() / 1e6 << " ms (budget "
          << kKeystrokeBudgetMs << " ms)" << Qt::endl;
    out() << "Peak memory: " << peakMemoryKib() / 1024 << " MiB (budget 150 MiB)" << Qt::endl;
    return 0;
}
