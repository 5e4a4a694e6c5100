// The invoice ledger at 10,000 saved invoices: opening "Laskut" (every file
// read, the payments matched and the table filled) and filtering the table
// at each keystroke in the search box.

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

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir program;
    const QString saveFolder = program.filePath(u"laskut"_s) + u'/';
    writeSaveFolder(saveFolder);
    QFile settings(program.filePath(u"laskutus.INI"_s));
    if (!settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write(stringToCp1252(u"[File]\r\nOletDir="_s + saveFolder + u"\r\n"_s));
    settings.close();

    TForm1 form(StartupOptions{program.filePath(u"laskutus"_s), {}, QString(), false},
                std::make_unique<ReportingPrompter>(out()));
    QList<qint64> opens;
    for (int run = 0; run < kOpenRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        form.Laskut1Click();
        QApplication::processEvents();
        opens.append(timer.nsecsElapsed());
    }
    LedgerWindow *window = form.LedgerList;
    out() << "Rows shown: " << window->Ledger->rowCount() << " of " << kInvoices << " invoices\n";
    out() << "Open \"Laskut\" (read, match payments, fill the table), median of " << kOpenRuns << ": "
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
    return 0;
}
