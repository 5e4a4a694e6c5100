// The payments file and the import of banks' payment files: camt.054 in its
// three versions and the reference-payment file read into the same payments,
// matched to invoices by reference, classified and stored, a payment known
// again only by an identity; damaged, huge and hostile files refused whole
// with a Finnish message, in little memory; `laskutus --import-payments` and
// `--list` run as a program.

#include "base/commanderror.h"
#include "invoice/numbering.h"
#include "storage/cp1252.h"
#include "storage/gridline.h"
#include "storage/invoicefile.h"
#include "storage/paymentimport.h"
#include "storage/payments.h"
#include "storage/textfile.h"
#include "tests/support/bankfiles.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <malloc.h>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Payment)

namespace {

// The camt.054 schemas in the folder LASKUTUS_PAYMENTS_DIR names; empty when
// it names none that holds them.
QString paymentsSchemaDir()
{
    const QString dir = qEnvironmentVariable("LASKUTUS_PAYMENTS_DIR");
    if (dir.isEmpty() || !QFileInfo::exists(dir + u"/camt.054.001.02.xsd"_s))
        return QString();
    return QDir(dir).absolutePath();
}

// xmllint's complaints about the file against the version's schema; empty
// when it is valid.
QString schemaComplaints(const QString &schemaDir, const QString &version, const QString &file)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(u"xmllint"_s, {u"--noout"_s, u"--nonet"_s, u"--schema"_s, schemaDir + u'/' + version + u".xsd"_s, file});
    if (!process.waitForFinished(-1))
        return u"xmllint did not run: "_s + process.errorString();
    return process.exitCode() == 0 ? QString() : QString::fromUtf8(process.readAll());
}

Payment pay(const QString &reference, qint64 cents, const QString &archiveId, const QString &payer = u"Maija"_s,
            const QDate &date = QDate(2026, 12, 1))
{
    return Payment{{}, {}, date, cents, reference, payer, archiveId, u"pankki.xml"_s};
}

Payment kept(const QString &year, const QString &number, const QString &reference, qint64 cents, const QString &archiveId)
{
    Payment payment = pay(reference, cents, archiveId);
    payment.year = year;
    payment.invoiceNumber = number;
    return payment;
}

Payment placed(Payment payment, const QString &fileEntry)
{
    payment.fileEntry = fileEntry;
    return payment;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// An imported payment as the window shows it.
QString shown(const ImportedPayment &p)
{
    return u"%1|%2|%3|%4"_s.arg(PaymentClassText(p.paymentClass),
                                p.payment.matched() ? p.payment.year + u'/' + p.payment.invoiceNumber : QString())
        .arg(p.openCentsAfter)
        .arg(p.reversed ? p.reversed->archiveId : QString());
}

QStringList shownAll(const PaymentImport &import)
{
    QStringList lines;
    for (const ImportedPayment &p : import.payments)
        lines << shown(p);
    return lines;
}

QStringList storedAll(const QList<Payment> &payments)
{
    QStringList lines;
    for (const Payment &p : payments)
        lines << u"%1:%2/%3:%4"_s.arg(p.archiveId, p.year, p.invoiceNumber).arg(p.cents);
    return lines;
}

// The message of the refusal, or "" when the bytes read.
QString refusalOf(const QByteArray &bytes)
{
    try {
        ReadBankPayments(bytes, u"pankki.dat"_s);
    } catch (const CommandError &error) {
        return error.message();
    }
    return QString();
}

const QList<PayableInvoice> &classInvoices()
{
    static const QList<PayableInvoice> invoices{
        {u"2026"_s, u"1"_s, u"10003"_s, 10000, 0},
        {u"2026"_s, u"2"_s, u"RF08 1001 6"_s, 20000, 5000},
        {u"2025"_s, u"7"_s, u"10029"_s, 3000, 3000},
        {u"2026"_s, u"9"_s, u"1000 3"_s, 500, 0},
    };
    return invoices;
}

// While it lives, this process cannot take more than `bytes` of address
// space beyond what it holds now: a machine short of memory.
class MemoryLimit
{
public:
    explicit MemoryLimit(qint64 bytes)
    {
        // What is free is given back first, so that the limit holds.
        malloc_trim(0);
        getrlimit(RLIMIT_AS, &m_old);
        QFile status(u"/proc/self/status"_s);
        qint64 used = 0;
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("VmSize:"))
                    used = line.mid(7).trimmed().split(' ').value(0).toLongLong() * 1024;
            }
        }
        rlimit limit = m_old;
        limit.rlim_cur = rlim_t(used + bytes);
        setrlimit(RLIMIT_AS, &limit);
    }
    ~MemoryLimit() { setrlimit(RLIMIT_AS, &m_old); }
    MemoryLimit(const MemoryLimit &) = delete;
    MemoryLimit &operator=(const MemoryLimit &) = delete;

private:
    rlimit m_old{};
};

// A sanitizer reserves address space of its own and stops the program on a
// failed allocation: a memory limit shows nothing there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryLimitsHold = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryLimitsHold = false;
#else
constexpr bool kMemoryLimitsHold = true;
#endif
#else
constexpr bool kMemoryLimitsHold = true;
#endif

// A booked entry with nothing in it but what a payment needs and the XML
// given, and the elements nested that deep around an empty one.
QString entryHolding(const QString &inside, const QString &archiveId = u"E1"_s)
{
    return u"<Ntry><Amt Ccy=\"EUR\">10.00</Amt><CdtDbtInd>CRDT</CdtDbtInd><Sts>BOOK</Sts>"
           "<BookgDt><Dt>2026-12-01</Dt></BookgDt>%1<BkTxCd/>%2</Ntry>"_s
        .arg(archiveId.isEmpty() ? QString() : u"<AcctSvcrRef>%1</AcctSvcrRef>"_s.arg(archiveId), inside);
}
QString nested(const QString &name, int depth)
{
    return QString(u"<"_s + name + u'>').repeated(depth) + QString(u"</"_s + name + u'>').repeated(depth);
}

// A save folder of one invoice of 30,00 € of the reference, and the program
// copied beside settings that keep the folder.
struct ProgramFolder
{
    QTemporaryDir data;
    QTemporaryDir program;

    explicit ProgramFolder(const QString &reference)
    {
        InvoiceData invoice;
        invoice.header = {u"57"_s, u"1.11.2026"_s, reference, QString(), u"1"_s, YesNoText(true), YesNoText(true),
                          u"14 pv"_s, u"8 %"_s, u"7 pv"_s, u"15.11.2026"_s};
        invoice.customer = {u"Virtanen Oy"_s, u"Katu 1"_s, QString(), QString()};
        invoice.rows = {{QString(), u"Työ"_s, u"1"_s, u"h"_s, u"30,00"_s, u"25,5"_s, QString()}};
        QDir().mkpath(data.filePath(u"2026"_s));
        WriteTextLines(data.filePath(u"2026/57.csv"_s), InvoiceFileLines(invoice));
        QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program.filePath(u"laskutus"_s));
        writeBytes(program.filePath(u"laskutus.INI"_s),
                   stringToCp1252(u"[File]\r\nOletDir="_s + data.path() + u"/\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\n"_s));
    }

    QString payments() const { return PaymentsFilePath(data.path() + u'/'); }
    QString bankFile(const QString &name, const QByteArray &bytes) const
    {
        writeBytes(program.filePath(name), bytes);
        return program.filePath(name);
    }

    struct Run
    {
        int status = -1;
        QStringList out;
        QString err;
    };
    Run run(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"QT_QPA_PLATFORM"_s);
        environment.remove(u"DISPLAY"_s);
        process.setProcessEnvironment(environment);
        process.start(program.filePath(u"laskutus"_s), arguments);
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                QString::fromUtf8(process.readAllStandardError())};
    }
    // The classes `--import-payments` printed, one a payment.
    static QStringList classes(const Run &run)
    {
        QStringList found;
        for (const QString &line : run.out.mid(1))
            found << line.section(u'\t', 0, 0);
        return found;
    }
    // What `--list` shows paid and open of the invoice, and its status.
    QString listed() const
    {
        const Run list = run({u"--list"_s});
        return list.out.value(1).section(u'\t', 7, 9);
    }
};

} // namespace

class PaymentImportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void runningOutOfMemoryIsTheFilesMessage();
    void paymentsFileRoundTrip_data();
    void paymentsFileRoundTrip();
    void paymentsFileRefusesDamage_data();
    void paymentsFileRefusesDamage();
    void referencesMeetByKey_data();
    void referencesMeetByKey();
    void paymentsClassified_data();
    void paymentsClassified();
    void bothFormatsImportAlike_data();
    void bothFormatsImportAlike();
    void camtEntriesRead_data();
    void camtEntriesRead();
    void referenceRecordsRead_data();
    void referenceRecordsRead();
    void damagedFilesRefused_data();
    void damagedFilesRefused();
    void entitiesNeverExpanded_data();
    void entitiesNeverExpanded();
    void hugeFileRefusedBySize();
    void twinPaymentsImportedFromTheCommandLine_data();
    void twinPaymentsImportedFromTheCommandLine();
    void deepNestingRefused_data();
    void deepNestingRefused();
    void hostileFilesReadInLittleMemory_data();
    void hostileFilesReadInLittleMemory();
    void hostileFileFromTheCommandLineKeepsTheOthers();
};

void PaymentImportTest::initTestCase()
{
    // Large blocks are mapped and given back each time, so that a memory
    // limit counts what a reading takes, not what earlier tests left free.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

void PaymentImportTest::paymentsFileRoundTrip_data()
{
    QTest::addColumn<Payment>("payment");
    QTest::newRow("matched") << kept(u"2026"_s, u"12"_s, u"RF18 1009"_s, 123450, u"20261201ABCD1234"_s);
    QTest::newRow("Finnish letters") << Payment{u"2026"_s, u"3"_s, QDate(2026, 1, 31), 5, u"1009"_s,
                                                u"Äijälä & Öljy Oy, Åbo"_s, u"A1"_s, u"tiliote ä.xml"_s};
    QTest::newRow("quotes and commas") << Payment{u"2026"_s, u"4"_s, QDate(2026, 2, 1), 100, u"10003"_s,
                                                  u"\"Paras\", Pekka"_s, u"A,2"_s, u"a \"b\".xml"_s};
    QTest::newRow("unmatched") << Payment{{}, {}, QDate(2025, 12, 31), 99, u"12344"_s, u"Tuntematon"_s, u"A3"_s, u"x.dat"_s};
    QTest::newRow("reversal") << kept(u"2026"_s, u"12"_s, u"1009"_s, -123450, u"R1"_s);
    QTest::newRow("by hand") << Payment{u"2026"_s, u"5"_s, QDate(2026, 3, 3), 2000, {}, {}, {}, kManualPaymentSource.toString()};
    QTest::newRow("place in a bank file") << placed(pay(u"10003"_s, 100, {}), u"0261207120012123456789#3"_s);
}

void PaymentImportTest::paymentsFileRoundTrip()
{
    QFETCH(Payment, payment);
    QTemporaryDir dir;
    const QString path = PaymentsFilePath(dir.path() + u'/');
    const QList<Payment> payments{payment, kept(u"2026"_s, u"1"_s, u"10003"_s, 1, u"Z"_s)};
    WritePaymentsFile(path, payments);
    QCOMPARE(ReadPaymentsFile(path), payments);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count("\r\n"), 2);
    // Windows-1252: one byte a Finnish letter.
    QCOMPARE(cp1252ToString(bytes).size(), bytes.size());
    // An earlier version reads the columns it knows and leaves the rest.
    Payment known = payment;
    known.fileEntry.clear();
    const QString line = cp1252ToString(bytes).section(u"\r\n"_s, 0, 0);
    QCOMPARE(PaymentOfCells(ReadLineIntoCells(line, PaymentFileEntryColumn)), std::optional<Payment>(known));
    QCOMPARE(PaymentLineCells(known).size(), PaymentFileEntryColumn);
}

void PaymentImportTest::paymentsFileRefusesDamage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray good = "2026,1,1.12.2026,\"100,00\",10003,Maija,A1,x.xml\r\n";
    QTest::newRow("missing file") << QByteArray() << QString();
    QTest::newRow("good") << good << QString();
    QTest::newRow("bad date") << good + "2026,1,31.2.2026,\"1,00\",10003,Maija,A2,x.xml\r\n" << u"rivi 2 ei ole maksu"_s;
    QTest::newRow("bad amount") << good + "2026,1,1.12.2026,\"1,0a\",10003,Maija,A2,x.xml\r\n" << u"rivi 2 ei ole maksu"_s;
    QTest::newRow("cut line") << good + "2026,1\r\n" << u"rivi 2 ei ole maksu"_s;
    QByteArray withNul = "2026,1,1.12.2026,\"1,00\",100#03,M,A2,x\r\n";
    withNul.replace('#', '\0');
    QTest::newRow("NUL") << good + withNul << u"rivillä 2 on NUL-merkki"_s;
}

void PaymentImportTest::paymentsFileRefusesDamage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = PaymentsFilePath(dir.path() + u'/');
    if (!bytes.isEmpty())
        QVERIFY(writeFile(path, bytes));
    QString refusal;
    qsizetype count = -1;
    try {
        count = ReadPaymentsFile(path).size();
    } catch (const CommandError &error) {
        refusal = error.message();
    }
    if (message.isEmpty()) {
        QCOMPARE(refusal, QString());
        QCOMPARE(count, bytes.isEmpty() ? 0 : 1);
    } else {
        QVERIFY2(refusal.contains(message), qPrintable(refusal));
        QVERIFY(refusal.contains(u"Maksutiedosto"_s));
        QCOMPARE(count, -1);
    }
}

// Worked by hand: the check digit with weights 7, 3, 1 from the right, and
// the RF check digits as 98 minus the number, "RF00" moved to its end as
// 2715 00, mod 97.
void PaymentImportTest::referencesMeetByKey_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("national");
    QTest::addColumn<QString>("rf");
    QTest::newRow("100") << u"100"_s << u"1009"_s << u"RF181009"_s;
    QTest::newRow("1000") << u"1000"_s << u"10003"_s << u"RF6810003"_s;
    QTest::newRow("1001") << u"1001"_s << u"10016"_s << u"RF0810016"_s;
    QTest::newRow("1234") << u"1234"_s << u"12344"_s << u"RF0812344"_s;
    QTest::newRow("12345") << u"12345"_s << u"123453"_s << u"RF81123453"_s;
    QTest::newRow("long") << u"2026000123"_s << u"20260001230"_s << u"RF3620260001230"_s;
}

void PaymentImportTest::referencesMeetByKey()
{
    QFETCH(QString, base);
    QFETCH(QString, national);
    QFETCH(QString, rf);
    QCOMPARE(AppendCheckDigit(base), national);
    QCOMPARE(QString(RfReference(national)).remove(u' '), rf);
    const QString key = ReferenceMatchKey(national);
    QCOMPARE(key, national);
    QString grouped;
    for (qsizetype i = 0; i < rf.size(); i += 4)
        grouped += rf.mid(i, 4) + u' ';
    for (const QString &form : {rf, grouped, u"0000"_s + national, u" 00 "_s + national.left(2) + u' ' + national.mid(2),
                                u"RF"_s + rf.mid(2, 2) + u"000"_s + national, rf.toLower()})
        QVERIFY2(ReferenceMatchKey(form) == key, qPrintable(form));
    QVERIFY(ReferenceMatchKey(national + u'1') != key);
    QCOMPARE(ReferenceMatchKey(u"RF45 X1"_s), u"RFX1"_s);
    QCOMPARE(ReferenceMatchKey(u" 000 "_s), QString());
}

void PaymentImportTest::paymentsClassified_data()
{
    QTest::addColumn<QList<Payment>>("keptPayments");
    QTest::addColumn<QList<Payment>>("incoming");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("stored");
    const QList<Payment> none;
    QTest::newRow("pays") << none << QList{pay(u"10003"_s, 10000, u"A1"_s)}
                          << QStringList{u"maksaa laskun|2026/1|0|"_s} << QStringList{u"A1:2026/1:10000"_s};
    QTest::newRow("partial, blanks") << none << QList{pay(u"1 0003"_s, 4000, u"A1"_s)}
                                     << QStringList{u"osasuoritus|2026/1|6000|"_s} << QStringList{u"A1:2026/1:4000"_s};
    QTest::newRow("second overpays") << none << QList{pay(u"10003"_s, 6000, u"A1"_s), pay(u"10003"_s, 6000, u"A2"_s)}
                                     << QStringList{u"osasuoritus|2026/1|4000|"_s, u"ylisuoritus|2026/1|-2000|"_s}
                                     << QStringList{u"A1:2026/1:6000"_s, u"A2:2026/1:6000"_s};
    QTest::newRow("shared reference, first open invoice")
        << none << QList{pay(u"10003"_s, 10000, u"A1"_s), pay(u"10003"_s, 500, u"A2"_s), pay(u"10003"_s, 1, u"A3"_s)}
        << QStringList{u"maksaa laskun|2026/1|0|"_s, u"maksaa laskun|2026/9|0|"_s, u"ylisuoritus|2026/1|-1|"_s}
        << QStringList{u"A1:2026/1:10000"_s, u"A2:2026/9:500"_s, u"A3:2026/1:1"_s};
    QTest::newRow("paid invoice") << none << QList{pay(u"10029"_s, 100, u"A1"_s)}
                                  << QStringList{u"ylisuoritus|2025/7|-100|"_s} << QStringList{u"A1:2025/7:100"_s};
    QTest::newRow("national to RF invoice") << none << QList{pay(u"10016"_s, 15000, u"A1"_s)}
                                            << QStringList{u"maksaa laskun|2026/2|0|"_s} << QStringList{u"A1:2026/2:15000"_s};
    QTest::newRow("RF to national invoice") << none << QList{pay(u"RF68 1000 3"_s, 10000, u"A1"_s)}
                                            << QStringList{u"maksaa laskun|2026/1|0|"_s} << QStringList{u"A1:2026/1:10000"_s};
    QTest::newRow("leading zeros") << none << QList{pay(u"00000000000000010003"_s, 10000, u"A1"_s)}
                                   << QStringList{u"maksaa laskun|2026/1|0|"_s} << QStringList{u"A1:2026/1:10000"_s};
    QTest::newRow("unknown") << none << QList{pay(u"12344"_s, 500, u"A1"_s), pay(QString(), 700, u"A2"_s)}
                             << QStringList{u"tuntematon viite||0|"_s, u"tuntematon viite||0|"_s}
                             << QStringList{u"A1:/:500"_s, u"A2:/:700"_s};
    QTest::newRow("twice in one file") << none << QList{pay(u"10003"_s, 10000, u"A1"_s), pay(u"10003"_s, 10000, u"A1"_s)}
                                       << QStringList{u"maksaa laskun|2026/1|0|"_s, u"jo tuotu||0|"_s}
                                       << QStringList{u"A1:2026/1:10000"_s};
    QTest::newRow("kept already") << QList{kept(u"2026"_s, u"1"_s, u"10003"_s, 10000, u"A1"_s)}
                                  << QList{pay(u"10003"_s, 10000, u"A1"_s)} << QStringList{u"jo tuotu||0|"_s} << QStringList{};
    QTest::newRow("no identity, payments alike") << none << QList{pay(u"10003"_s, 100, {}), pay(u"10003"_s, 100, {}),
                                                                  pay(u"10003"_s, 100, {}, u"Matti"_s)}
                                                 << QStringList{u"osasuoritus|2026/1|9900|"_s, u"osasuoritus|2026/1|9800|"_s,
                                                                u"osasuoritus|2026/1|9700|"_s}
                                                 << QStringList{u":2026/1:100"_s, u":2026/1:100"_s, u":2026/1:100"_s};
    QTest::newRow("same place in the same file") << QList{placed(kept(u"2026"_s, u"1"_s, u"10003"_s, 100, {}), u"M1#1"_s)}
                                                 << QList{placed(pay(u"10003"_s, 100, {}), u"M1#1"_s),
                                                          placed(pay(u"10003"_s, 100, {}), u"M1#2"_s),
                                                          placed(pay(u"10003"_s, 100, {}), u"M2#1"_s)}
                                                 << QStringList{u"jo tuotu||0|"_s, u"osasuoritus|2026/1|9900|"_s,
                                                                u"osasuoritus|2026/1|9800|"_s}
                                                 << QStringList{u":2026/1:100"_s, u":2026/1:100"_s};
    QTest::newRow("twice in one file without archive id") << none
                                                          << QList{placed(pay(u"10003"_s, 100, {}), u"M1#1"_s),
                                                                   placed(pay(u"10003"_s, 100, {}), u"M1#1"_s)}
                                                          << QStringList{u"osasuoritus|2026/1|9900|"_s, u"jo tuotu||0|"_s}
                                                          << QStringList{u":2026/1:100"_s};
    // An earlier version kept one of twins and no place: the file again
    // brings the other.
    QTest::newRow("kept by an earlier version without identity")
        << QList{kept(u"2026"_s, u"1"_s, u"10003"_s, 100, {})}
        << QList{placed(pay(u"10003"_s, 100, {}), u"M1#1"_s), placed(pay(u"10003"_s, 100, {}), u"M1#2"_s)}
        << QStringList{u"jo tuotu||0|"_s, u"osasuoritus|2026/1|9900|"_s} << QStringList{u":2026/1:100"_s};
    QTest::newRow("marked by hand, then imported")
        << QList{[] { Payment p = kept(u"2026"_s, u"1"_s, u"10003"_s, 100, {}); p.source = kManualPaymentSource.toString(); return p; }()}
        << QList{placed(pay(u"10003"_s, 100, {}), u"M1#1"_s)}
        << QStringList{u"osasuoritus|2026/1|9900|"_s} << QStringList{u":2026/1:100"_s};
    QTest::newRow("reversal of kept") << QList{kept(u"2026"_s, u"1"_s, u"10003"_s, 10000, u"A1"_s)}
                                      << QList{pay(u"10003"_s, -10000, u"R1"_s)}
                                      << QStringList{u"palautus|2026/1|20000|A1"_s} << QStringList{u"R1:2026/1:-10000"_s};
    QTest::newRow("reversal in the same file") << none << QList{pay(u"10003"_s, 10000, u"A1"_s), pay(u"10003"_s, -10000, u"R1"_s)}
                                               << QStringList{u"maksaa laskun|2026/1|0|"_s, u"palautus|2026/1|10000|A1"_s}
                                               << QStringList{u"A1:2026/1:10000"_s, u"R1:2026/1:-10000"_s};
    QTest::newRow("reversal by archive id") << QList{kept(u"2026"_s, u"1"_s, u"10003"_s, 5000, u"A1"_s),
                                                     kept(u"2026"_s, u"1"_s, u"10003"_s, 5000, u"A2"_s)}
                                            << QList{pay(u"10003"_s, -5000, u"A1"_s)}
                                            << QStringList{u"palautus|2026/1|15000|A1"_s} << QStringList{u"A1:2026/1:-5000"_s};
    QTest::newRow("reversal of a moved payment") << QList{kept(u"2026"_s, u"2"_s, u"12344"_s, 5000, u"A1"_s)}
                                                 << QList{pay(u"12344"_s, -5000, u"R1"_s)}
                                                 << QStringList{u"palautus|2026/2|20000|A1"_s} << QStringList{u"R1:2026/2:-5000"_s};
    QTest::newRow("one reversal a payment") << QList{kept(u"2026"_s, u"1"_s, u"10003"_s, 10000, u"A1"_s)}
                                            << QList{pay(u"10003"_s, -10000, u"R1"_s), pay(u"10003"_s, -10000, u"R2"_s)}
                                            << QStringList{u"palautus|2026/1|20000|A1"_s, u"palautus|2026/1|30000|"_s}
                                            << QStringList{u"R1:2026/1:-10000"_s, u"R2:2026/1:-10000"_s};
    QTest::newRow("reversal kept already") << QList{kept(u"2026"_s, u"1"_s, u"10003"_s, 10000, u"A1"_s),
                                                    kept(u"2026"_s, u"1"_s, u"10003"_s, -10000, u"R1"_s)}
                                           << QList{pay(u"10003"_s, -10000, u"R1"_s), pay(u"10003"_s, -10000, u"R2"_s)}
                                           << QStringList{u"jo tuotu||0|"_s, u"palautus|2026/1|20000|"_s}
                                           << QStringList{u"R2:2026/1:-10000"_s};
    QTest::newRow("reversal of unknown") << none << QList{pay(u"12344"_s, -500, u"R1"_s)}
                                         << QStringList{u"palautus||0|"_s} << QStringList{u"R1:/:-500"_s};
}

void PaymentImportTest::paymentsClassified()
{
    QFETCH(QList<Payment>, keptPayments);
    QFETCH(QList<Payment>, incoming);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, stored);
    const PaymentImport import = MatchPayments(incoming, classInvoices(), keptPayments);
    QCOMPARE(shownAll(import), expected);
    QCOMPARE(storedAll(PaymentsToStore(import)), stored);
}

// Invoices saved with references the program makes, paid by one bank file
// in each format: the same result, and the same file again is all "jo tuotu".
void PaymentImportTest::bothFormatsImportAlike_data()
{
    QTest::addColumn<QString>("format");
    for (QStringView version : kCamt054Versions)
        QTest::newRow(version.toLatin1().constData()) << version.toString();
    QTest::newRow("reference-payment file") << kReferencePaymentFormat.toString();
}

void PaymentImportTest::bothFormatsImportAlike()
{
    QFETCH(QString, format);
    const QString a = AppendCheckDigit(u"2026001"_s);
    const QString b = RfReference(AppendCheckDigit(u"2026002"_s));
    const QString c = AppendCheckDigit(u"2026003"_s);
    const QList<PayableInvoice> invoices{{u"2026"_s, u"1"_s, a, 12400, 0},
                                         {u"2026"_s, u"2"_s, b, 30000, 10000},
                                         {u"2026"_s, u"3"_s, c, 5000, 0}};
    const QList<Payment> sent{
        pay(a, 12400, u"20261201AB000001"_s, u"Äijälä Oy"_s, QDate(2026, 12, 1)),
        pay(QString(b).remove(u' ').mid(4), 5000, u"20261201AB000002"_s, u"Öljy & Co"_s, QDate(2026, 12, 1)),
        pay(b, 20000, u"20261202AB000003"_s, u"Öljy & Co"_s, QDate(2026, 12, 2)),
        pay(AppendCheckDigit(u"4242"_s), 777, u"20261202AB000004"_s, u"Tuntematon"_s, QDate(2026, 12, 2)),
        pay(c, 5000, u"20261203AB000005"_s, u"Pekka"_s, QDate(2026, 12, 3)),
        pay(a, 12400, u"20261201AB000001"_s, u"Äijälä Oy"_s, QDate(2026, 12, 1)),
        pay(c, -5000, u"20261204AB000006"_s, u"Pekka"_s, QDate(2026, 12, 4)),
    };
    const QStringList expected{u"maksaa laskun|2026/1|0|"_s, u"osasuoritus|2026/2|15000|"_s,
                               u"ylisuoritus|2026/2|-5000|"_s, u"tuntematon viite||0|"_s,
                               u"maksaa laskun|2026/3|0|"_s, u"jo tuotu||0|"_s,
                               u"palautus|2026/3|5000|20261203AB000005"_s};

    const bool camt = format != kReferencePaymentFormat;
    const QByteArray bytes = camt ? camtOf(format, sent) : referenceFileOf(sent);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pankki.dat"_s);
    QVERIFY(writeFile(path, bytes));
    if (camt) {
        if (const QString schemas = paymentsSchemaDir(); !schemas.isEmpty())
            QVERIFY2(schemaComplaints(schemas, format, path).isEmpty(), qPrintable(schemaComplaints(schemas, format, path)));
        else
            qInfo("No camt.054 schemas: set LASKUTUS_PAYMENTS_DIR to check the file against them.");
    }

    const PaymentImport first = ImportPaymentFile(path, invoices, {});
    QCOMPARE(first.format, format);
    QCOMPARE(shownAll(first), expected);
    for (qsizetype i = 0; i < sent.size(); ++i) {
        const Payment &got = first.payments[i].payment;
        QCOMPARE(got.date, sent[i].date);
        QCOMPARE(got.cents, sent[i].cents);
        QCOMPARE(got.payer, sent[i].payer);
        QCOMPARE(got.archiveId, sent[i].archiveId);
        QCOMPARE(got.source, u"pankki.dat"_s);
        QCOMPARE(ReferenceMatchKey(got.reference), ReferenceMatchKey(sent[i].reference));
    }

    const QString paymentsPath = PaymentsFilePath(dir.path() + u'/');
    WritePaymentsFile(paymentsPath, PaymentsToStore(first));
    const QList<Payment> keptNow = ReadPaymentsFile(paymentsPath);
    QCOMPARE(keptNow.size(), sent.size() - 1);
    const PaymentImport again = ImportPaymentFile(path, invoices, keptNow);
    QCOMPARE(shownAll(again), QStringList(sent.size(), u"jo tuotu||0|"_s));
    QVERIFY(PaymentsToStore(again).isEmpty());
}

void PaymentImportTest::camtEntriesRead_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QStringList>("payments");
    QTest::addColumn<int>("unbooked");
    QTest::addColumn<QByteArray>("prefix");
    const QString v02 = u"camt.054.001.02"_s;
    const QString head = u"<Amt Ccy=\"EUR\">30.00</Amt><CdtDbtInd>CRDT</CdtDbtInd><Sts>BOOK</Sts>"
                         "<BookgDt><Dt>2026-12-01</Dt></BookgDt><AcctSvcrRef>E1</AcctSvcrRef><BkTxCd/>"_s;
    const auto tx = [](const QString &amount, const QString &ref, const QString &id) {
        return u"<TxDtls>%1<AmtDtls><TxAmt><Amt Ccy=\"EUR\">%2</Amt></TxAmt></AmtDtls>"
               "<RmtInf><Strd><CdtrRefInf><Ref>%3</Ref></CdtrRefInf></Strd></RmtInf></TxDtls>"_s
            .arg(id.isEmpty() ? QString() : u"<Refs><AcctSvcrRef>%1</AcctSvcrRef></Refs>"_s.arg(id), amount, ref);
    };
    QTest::newRow("several transactions with ids")
        << v02 << u"<Ntry>%1<NtryDtls>%2%3</NtryDtls></Ntry>"_s.arg(head, tx(u"10.00"_s, u"1009"_s, u"T1"_s), tx(u"20"_s, u"10003"_s, u"T2"_s))
        << QStringList{u"1.12.2026|1000|1009|E1/T1|M1#1/1"_s, u"1.12.2026|2000|10003|E1/T2|M1#1/2"_s} << 0 << QByteArray();
    QTest::newRow("several transactions without ids")
        << v02 << u"<Ntry>%1<NtryDtls>%2</NtryDtls><NtryDtls>%3</NtryDtls></Ntry>"_s.arg(head, tx(u"10.5"_s, u"1009"_s, {}), tx(u"19.500"_s, u"1009"_s, {}))
        << QStringList{u"1.12.2026|1050|1009|E1/1|M1#1/1"_s, u"1.12.2026|1950|1009|E1/2|M1#1/2"_s} << 0 << QByteArray();
    QTest::newRow("entry amount, date and time")
        << v02 << u"<Ntry><Amt Ccy=\"EUR\">30.00</Amt><CdtDbtInd>CRDT</CdtDbtInd><Sts>BOOK</Sts>"
                  "<BookgDt><DtTm>2026-12-02T10:00:00</DtTm></BookgDt><AcctSvcrRef>E2</AcctSvcrRef><BkTxCd/>"
                  "<NtryDtls><TxDtls><RmtInf><Strd><CdtrRefInf><Ref>RF18 1009</Ref></CdtrRefInf></Strd></RmtInf></TxDtls></NtryDtls></Ntry>"_s
        << QStringList{u"2.12.2026|3000|RF18 1009|E2|M1#1"_s} << 0 << QByteArray();
    QTest::newRow("no details") << v02 << u"<Ntry>%1</Ntry>"_s.arg(head) << QStringList{u"1.12.2026|3000||E1|M1#1"_s} << 0 << QByteArray();
    QTest::newRow("byte order mark") << v02 << u"<Ntry>%1</Ntry>"_s.arg(head) << QStringList{u"1.12.2026|3000||E1|M1#1"_s} << 0
                                     << QByteArray("\xEF\xBB\xBF");
    QTest::newRow("pending and information left out")
        << v02 << u"<Ntry>%1</Ntry><Ntry>%2</Ntry><Ntry>%3</Ntry>"_s.arg(
               QString(head).replace(u"BOOK"_s, u"PDNG"_s), QString(head).replace(u"BOOK"_s, u"INFO"_s), head)
        << QStringList{u"1.12.2026|3000||E1|M1#3"_s} << 2 << QByteArray();
    QTest::newRow("debit is a reversal")
        << v02 << u"<Ntry>%1</Ntry>"_s.arg(QString(head).replace(u"CRDT"_s, u"DBIT"_s))
        << QStringList{u"1.12.2026|-3000||E1|M1#1"_s} << 0 << QByteArray();
    QTest::newRow("001.08 status code")
        << u"camt.054.001.08"_s
        << u"<Ntry><Amt Ccy=\"EUR\">1.00</Amt><CdtDbtInd>CRDT</CdtDbtInd><Sts><Cd>BOOK</Cd></Sts><BookgDt><Dt>2026-12-03</Dt></BookgDt>"
           "<AcctSvcrRef>E3</AcctSvcrRef><BkTxCd/></Ntry><Ntry><Amt Ccy=\"EUR\">2.00</Amt><CdtDbtInd>CRDT</CdtDbtInd>"
           "<Sts><Cd>PDNG</Cd></Sts><BookgDt><Dt>2026-12-03</Dt></BookgDt><BkTxCd/></Ntry>"_s
        << QStringList{u"3.12.2026|100||E3|M1#1"_s} << 1 << QByteArray();
    const QString bare = QString(head).remove(u"<AcctSvcrRef>E1</AcctSvcrRef>"_s);
    QTest::newRow("the entry's own reference")
        << v02 << u"<Ntry><NtryRef>R7</NtryRef>%1</Ntry>"_s.arg(bare) << QStringList{u"1.12.2026|3000||R7|M1#1"_s} << 0
        << QByteArray();
    QTest::newRow("no identity from the bank")
        << v02 << u"<Ntry>%1</Ntry><Ntry>%2</Ntry><Ntry>%1<NtryDtls>%3%4</NtryDtls></Ntry>"_s.arg(
               bare, QString(bare).replace(u"BOOK"_s, u"PDNG"_s), tx(u"10.00"_s, u"1009"_s, {}), tx(u"20"_s, u"1009"_s, u"T2"_s))
        << QStringList{u"1.12.2026|3000|||M1#1"_s, u"1.12.2026|1000|1009||M1#3/1"_s, u"1.12.2026|2000|1009|/T2|M1#3/2"_s}
        << 1 << QByteArray();
}

void PaymentImportTest::camtEntriesRead()
{
    QFETCH(QString, version);
    QFETCH(QString, entries);
    QFETCH(QStringList, payments);
    QFETCH(int, unbooked);
    QFETCH(QByteArray, prefix);
    const QByteArray bytes = prefix + camtDocument(version, entries);
    if (const QString schemas = paymentsSchemaDir(); !schemas.isEmpty()) {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"n.xml"_s);
        QVERIFY(writeFile(path, bytes));
        QVERIFY2(schemaComplaints(schemas, version, path).isEmpty(), qPrintable(schemaComplaints(schemas, version, path)));
    }
    const BankPaymentFile file = ReadBankPayments(bytes, u"n.xml"_s);
    QStringList got;
    for (const Payment &p : file.payments)
        got << u"%1|%2|%3|%4|%5"_s.arg(DateText(p.date)).arg(p.cents).arg(p.reference, p.archiveId, p.fileEntry);
    QCOMPARE(got, payments);
    QCOMPARE(file.unbookedEntries, unbooked);
    QCOMPARE(file.format, version);
}

void PaymentImportTest::referenceRecordsRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("payments");
    const Payment p = pay(u"0000 1009"_s, 1234, u"A1"_s, u"Meikäläinen Maija"_s, QDate(2026, 2, 28));
    const Payment q = pay(u"10003"_s, 99, u"A2"_s, u"Oy"_s, QDate(2025, 12, 31));
    const QStringList twoBatches{batchRecord(), paymentRecord(u'3', p), totalRecord(1, 1234, 0, 0),
                                 batchRecord(), paymentRecord(u'3', q), paymentRecord(u'5', q, u'1'), totalRecord(1, 99, 1, 99)};
    QTest::newRow("two batches") << fileOf(twoBatches)
                                 << QStringList{u"28.2.2026|1234|1009|Meikäläinen|A1"_s, u"31.12.2025|99|10003|Oy|A2"_s,
                                                u"31.12.2025|-99|10003|Oy|A2"_s};
    QTest::newRow("line feeds and blank lines")
        << stringToCp1252(u"\n"_s + twoBatches.mid(0, 3).join(u"\n\n"_s) + u"\n"_s)
        << QStringList{u"28.2.2026|1234|1009|Meikäläinen|A1"_s};
    QTest::newRow("correction mark on a payment record")
        << fileOf({batchRecord(), paymentRecord(u'3', q, u'1'), totalRecord(1, 99, 0, 0)})
        << QStringList{u"31.12.2025|-99|10003|Oy|A2"_s};
}

void PaymentImportTest::referenceRecordsRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, payments);
    const BankPaymentFile file = ReadBankPayments(bytes, u"viite.txt"_s);
    QCOMPARE(file.format, kReferencePaymentFormat.toString());
    QStringList got;
    for (const Payment &p : file.payments)
        got << u"%1|%2|%3|%4|%5"_s.arg(DateText(p.date)).arg(p.cents).arg(p.reference, p.payer, p.archiveId);
    QCOMPARE(got, payments);
}

void PaymentImportTest::damagedFilesRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const Payment p = pay(u"10003"_s, 1234, u"A1"_s);
    const QString good = paymentRecord(u'3', p);
    const QString total = totalRecord(1, 1234, 0, 0);
    QTest::newRow("short line") << fileOf({batchRecord(), good.left(89), total}) << u"rivillä 2 on 89 merkkiä"_s;
    QTest::newRow("long line") << fileOf({batchRecord(), good + u' ', total}) << u"rivillä 2 on 91 merkkiä"_s;
    QTest::newRow("record type") << fileOf({batchRecord(), u'4' + good.mid(1), total}) << u"rivillä 2 tietuetyyppi \"4\""_s;
    QTest::newRow("amount not digits") << fileOf({batchRecord(), QString(good).replace(77, 10, u"00000012 4"_s), total})
                                       << u"rivillä 2 summa \"00000012 4\""_s;
    QTest::newRow("zero amount") << fileOf({batchRecord(), QString(good).replace(77, 10, u"0000000000"_s), totalRecord(1, 0, 0, 0)})
                                 << u"rivillä 2 summa"_s;
    QTest::newRow("other currency") << fileOf({batchRecord(), QString(good).replace(75, 1, u"2"_s), total}) << u"rivillä 2 oleva maksu ei ole euroina"_s;
    QTest::newRow("correction mark") << fileOf({batchRecord(), QString(good).replace(87, 1, u"7"_s), total}) << u"rivillä 2 oikaisutunnus"_s;
    QTest::newRow("bad date") << fileOf({batchRecord(), QString(good).replace(15, 6, u"261341"_s), total}) << u"rivillä 2 kirjauspäivä"_s;
    QTest::newRow("total count") << fileOf({batchRecord(), good, totalRecord(2, 1234, 0, 0)}) << u"rivillä 3 summatietueen"_s;
    QTest::newRow("total sum") << fileOf({batchRecord(), good, totalRecord(1, 1235, 0, 0)}) << u"rivillä 3 summatietueen"_s;
    QTest::newRow("correction counted as payment")
        << fileOf({batchRecord(), good, paymentRecord(u'5', p, u'1'), totalRecord(2, 2468, 0, 0)}) << u"rivillä 4 summatietueen"_s;
    QTest::newRow("no total") << fileOf({batchRecord(), good}) << u"ilman erän summatietuetta"_s;
    QTest::newRow("no batch") << fileOf({good, total}) << u"ei ole camt.054-tiliilmoitus eikä viitesiirtoaineisto"_s;
    QTest::newRow("payment after total") << fileOf({batchRecord(), good, total, good}) << u"rivillä 4 oleva maksu ei kuulu erään"_s;
    QTest::newRow("batch in batch") << fileOf({batchRecord(), good, batchRecord(), total}) << u"rivillä 3 alkaa uusi erä"_s;
    QTest::newRow("empty") << QByteArray() << u"ei ole camt.054-tiliilmoitus"_s;
    const QByteArray record = stringToCp1252(good + u"\r\n"_s);
    QTest::newRow("more payments than the payments file takes")
        << fileOf({batchRecord()}) + record.repeated(kMaxTextLines + 1) + fileOf({totalRecord(kMaxTextLines + 1, 1234 * (kMaxTextLines + 1), 0, 0)})
        << u"rivillä %1 on maksuja jo %2, enemmän ei mahdu"_s.arg(kMaxTextLines + 2).arg(kMaxTextLines);

    const QByteArray camt = camtOf(u"camt.054.001.02"_s, {p, pay(u"1009"_s, 500, u"A2"_s)});
    QTest::newRow("camt cut") << camt.left(camt.size() - 40) << u"XML on rikki"_s;
    QTest::newRow("camt other currency") << QByteArray(camt).replace("Ccy=\"EUR\">5.00", "Ccy=\"SEK\">5.00")
                                         << u"rivillä 6 on maksu valuutassa \"SEK\""_s;
    QTest::newRow("camt decimal comma") << QByteArray(camt).replace(">5.00<", ">5,00<") << u"rivillä 6 oleva summa \"5,00\""_s;
    QTest::newRow("camt three decimals") << QByteArray(camt).replace(">5.00<", ">5.001<") << u"summa \"5.001\""_s;
    QTest::newRow("camt no direction") << QByteArray(camt).replace("<CdtDbtInd>CRDT</CdtDbtInd>", "") << u"rivillä 5 alkavan kirjauksen suunta"_s;
    QTest::newRow("camt no date") << QByteArray(camt).replace("<Dt>2026-12-01</Dt>", "<Dt>2026-13-01</Dt>") << u"rivillä 5 alkavalla kirjauksella ei ole kirjauspäivää"_s;
    QTest::newRow("camt other version") << QByteArray(camt).replace("camt.054.001.02", "camt.054.001.03") << u"rivillä 2 alkava tiedosto ei ole camt.054"_s;
    QTest::newRow("other XML") << QByteArray("<?xml version=\"1.0\"?><Finvoice/>") << u"ei ole camt.054"_s;
    QTest::newRow("camt without any identity")
        << QByteArray(camt).replace("<MsgId>M1</MsgId>", "").replace("<AcctSvcrRef>A2</AcctSvcrRef>", "")
        << u"rivillä 6 alkavalla kirjauksella ei ole arkistotunnusta eikä tiedostolla sanomatunnusta"_s;
}

void PaymentImportTest::damagedFilesRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString refusal = refusalOf(bytes);
    QVERIFY2(refusal.startsWith(u"Maksutiedostoa pankki.dat ei luettu: "_s), qPrintable(refusal));
    QVERIFY2(refusal.contains(message), qPrintable(refusal));
}

// A DTD is refused before any entity in it is expanded or fetched: the
// secret the external entity names shows up nowhere.
void PaymentImportTest::entitiesNeverExpanded_data()
{
    QTest::addColumn<QString>("doctype");
    QTest::addColumn<QString>("use");
    QTest::newRow("external file") << u"<!DOCTYPE Document [<!ENTITY x SYSTEM \"file://%1\">]>"_s << u"&x;"_s;
    QTest::newRow("external DTD") << u"<!DOCTYPE Document SYSTEM \"file://%1\">"_s << u"10003"_s;
    QTest::newRow("expanding") << u"<!DOCTYPE Document [<!ENTITY a \"SALAINEN-SALAINEN\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"_s
                               << u"&b;"_s;
    QTest::newRow("undeclared") << QString() << u"&x;"_s;
}

void PaymentImportTest::entitiesNeverExpanded()
{
    QFETCH(QString, doctype);
    QFETCH(QString, use);
    QTemporaryDir dir;
    const QString secret = dir.filePath(u"salainen.txt"_s);
    QVERIFY(writeFile(secret, "SALAINEN"));
    QByteArray bytes = camtOf(u"camt.054.001.02"_s, {pay(u"REF"_s, 100, u"A1"_s)});
    bytes.replace("<Ref>REF</Ref>", (u"<Ref>"_s + use + u"</Ref>"_s).toUtf8());
    bytes.replace("?>\n", (u"?>\n"_s + QString(doctype).replace(u"%1"_s, secret) + u'\n').toUtf8());
    QString refusal;
    try {
        const BankPaymentFile file = ReadBankPayments(bytes, u"pankki.dat"_s);
        for (const Payment &p : file.payments)
            refusal += p.reference;
    } catch (const CommandError &error) {
        refusal = error.message();
    }
    QVERIFY2(refusal.startsWith(u"Maksutiedostoa pankki.dat ei luettu: rivillä "_s), qPrintable(refusal));
    QVERIFY2(!refusal.contains(u"SALAINEN"_s), qPrintable(refusal));
}

void PaymentImportTest::hugeFileRefusedBySize()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"iso.xml"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(camtOf(u"camt.054.001.02"_s, {pay(u"10003"_s, 100, u"A1"_s)})) > 0);
    // Sparse: the size costs no disk and no reading.
    QVERIFY(file.resize(100 * 1024 * 1024));
    file.close();
    QString refusal;
    try {
        ReadBankPaymentFile(path);
    } catch (const CommandError &error) {
        refusal = error.message();
    }
    QVERIFY2(refusal.contains(u"on suurempi kuin 64 Mt"_s), qPrintable(refusal));
    QVERIFY(refusal.contains(QDir::toNativeSeparators(path)));
    QVERIFY(refusalOf(QByteArray(kMaxPaymentFileBytes + 1, ' ')).contains(u"on suurempi kuin 64 Mt"_s));
}

// Two payments alike in date, amount, reference and payer are two payments
// unless the bank gives them one identity; the same file again is known by
// its own identity and each payment's place in it.
void PaymentImportTest::twinPaymentsImportedFromTheCommandLine_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<QByteArray>>("contents");
    QTest::addColumn<QStringList>("classes");
    QTest::addColumn<QString>("listed");
    const QString reference = AppendCheckDigit(u"5700"_s);
    const Payment twin = pay(reference, 1000, QString(), u"Virtanen Oy"_s);
    Payment withId = twin;
    withId.archiveId = u"20261201AB000001"_s;
    Payment otherId = twin;
    otherId.archiveId = u"20261201AB000002"_s;
    for (QStringView version : kCamt054Versions) {
        QTest::addRow("twins in one file, %s", version.toLatin1().constData())
            << QStringList{u"tiliote.xml"_s} << QList<QByteArray>{camtOf(version.toString(), {twin, twin})}
            << QStringList{u"osasuoritus"_s, u"osasuoritus"_s} << u"20,00\t10,00\terääntynyt"_s;
    }
    QTest::newRow("twins in one reference-payment file")
        << QStringList{u"viitteet.txt"_s} << QList<QByteArray>{referenceFileOf({twin, twin})}
        << QStringList{u"osasuoritus"_s, u"osasuoritus"_s} << u"20,00\t10,00\terääntynyt"_s;
    QTest::newRow("twins in two messages")
        << QStringList{u"a.xml"_s, u"b.xml"_s}
        << QList<QByteArray>{camtOf(u"camt.054.001.02"_s, {twin}), camtOf(u"camt.054.001.02"_s, {twin}, u"M2"_s)}
        << QStringList{u"osasuoritus"_s, u"osasuoritus"_s} << u"20,00\t10,00\terääntynyt"_s;
    QTest::newRow("twins in two batches")
        << QStringList{u"a.txt"_s, u"b.txt"_s}
        << QList<QByteArray>{referenceFileOf({twin}), referenceFileOf({twin}, u"2612081200"_s)}
        << QStringList{u"osasuoritus"_s, u"osasuoritus"_s} << u"20,00\t10,00\terääntynyt"_s;
    QTest::newRow("twins across two files with ids")
        << QStringList{u"a.xml"_s, u"b.txt"_s}
        << QList<QByteArray>{camtOf(u"camt.054.001.08"_s, {withId}), referenceFileOf({otherId})}
        << QStringList{u"osasuoritus"_s, u"osasuoritus"_s} << u"20,00\t10,00\terääntynyt"_s;
    QTest::newRow("one payment in two files by its id")
        << QStringList{u"a.xml"_s, u"b.txt"_s}
        << QList<QByteArray>{camtOf(u"camt.054.001.04"_s, {withId, twin}), referenceFileOf({withId})}
        << QStringList{u"osasuoritus"_s, u"osasuoritus"_s, u"jo tuotu"_s} << u"20,00\t10,00\terääntynyt"_s;
    QTest::newRow("the same message under another name")
        << QStringList{u"a.xml"_s, u"kopio.xml"_s}
        << QList<QByteArray>{camtOf(u"camt.054.001.02"_s, {twin, twin}), camtOf(u"camt.054.001.02"_s, {twin, twin})}
        << QStringList{u"osasuoritus"_s, u"osasuoritus"_s, u"jo tuotu"_s, u"jo tuotu"_s}
        << u"20,00\t10,00\terääntynyt"_s;
}

void PaymentImportTest::twinPaymentsImportedFromTheCommandLine()
{
    QFETCH(QStringList, files);
    QFETCH(QList<QByteArray>, contents);
    QFETCH(QStringList, classes);
    QFETCH(QString, listed);
    ProgramFolder folder(AppendCheckDigit(u"5700"_s));
    const QString schemas = paymentsSchemaDir();
    QStringList paths;
    for (qsizetype i = 0; i < files.size(); ++i) {
        paths << folder.bankFile(files[i], contents[i]);
        if (files[i].endsWith(u".xml"_s) && !schemas.isEmpty()) {
            const QString version = QString::fromUtf8(contents[i]).section(u"xsd:"_s, 1).section(u'"', 0, 0);
            QVERIFY2(schemaComplaints(schemas, version, paths.last()).isEmpty(),
                     qPrintable(schemaComplaints(schemas, version, paths.last())));
        }
    }
    QCOMPARE(folder.listed(), u"0,00\t30,00\terääntynyt"_s);

    const ProgramFolder::Run imported = folder.run(QStringList{u"--import-payments"_s} + paths);
    QVERIFY2(imported.status == 0, qPrintable(imported.err));
    QCOMPARE(ProgramFolder::classes(imported), classes);
    QCOMPARE(folder.listed(), listed);

    // The same files again, in the other order: nothing new.
    const QByteArray stored = readBytes(folder.payments());
    QStringList reversed(paths.crbegin(), paths.crend());
    const ProgramFolder::Run again = folder.run(QStringList{u"--import-payments"_s} + reversed);
    QCOMPARE(again.status, 0);
    QCOMPARE(ProgramFolder::classes(again), QStringList(classes.size(), u"jo tuotu"_s));
    QCOMPARE(readBytes(folder.payments()), stored);
    QCOMPARE(folder.listed(), listed);
}

// Elements nested deeper than any notification nests them, inside an entry
// or beside the entries, are refused before the nesting costs anything.
void PaymentImportTest::deepNestingRefused_data()
{
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QString>("refusal");
    const QString tooDeep = u"rivillä 5 on elementtejä sisäkkäin yli 64 tasoa"_s;
    QTest::newRow("50,000 levels in an entry") << entryHolding(nested(u"a"_s, 50000)) << tooDeep;
    QTest::newRow("50,000 entries in one another beside the entries")
        << u"<Ntry><Ntry>"_s + nested(u"Ntry"_s, 50000) + u"</Ntry></Ntry>"_s << tooDeep;
    QTest::newRow("30,000 entries in one another under another element")
        << u"<X>"_s + nested(u"Ntry"_s, 30000) + u"</X>"_s << tooDeep;
    // The document, the notification and the entry take four levels.
    QTest::newRow("64 levels read") << entryHolding(nested(u"a"_s, 60)) << QString();
    QTest::newRow("65 levels refused") << entryHolding(nested(u"a"_s, 61)) << tooDeep;
}

void PaymentImportTest::deepNestingRefused()
{
    QFETCH(QString, entries);
    QFETCH(QString, refusal);
    const QByteArray bytes = camtDocument(u"camt.054.001.02"_s, entries);
    const QString got = refusalOf(bytes);
    QCOMPARE(got.isEmpty(), refusal.isEmpty());
    QVERIFY2(got.contains(refusal), qPrintable(got));
    if (refusal.isEmpty())
        QCOMPARE(ReadBankPayments(bytes, u"n.xml"_s).payments.size(), 1);
}

// Files of nothing but empty elements or line breaks are read, or refused,
// in memory of a few times their size.
void PaymentImportTest::hostileFilesReadInLittleMemory_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("result");
    constexpr qsizetype kSize = 16 * 1024 * 1024;
    QTest::newRow("an entry of 16 MiB of empty elements")
        << camtDocument(u"camt.054.001.02"_s, entryHolding(u"<a/>"_s.repeated(kSize / 4))) << u"1 maksua"_s;
    QTest::newRow("16 MiB of line breaks after a batch record")
        << QByteArray("0\r") + QByteArray(kSize, '\n') << u"rivillä 1 on 1 merkkiä"_s;
    QTest::newRow("16 MiB of line breaks after a payment")
        << referenceFileOf({pay(u"10003"_s, 100, u"A1"_s)}).chopped(2) + QByteArray(kSize, '\n') << u"1 maksua"_s;
}

void PaymentImportTest::hostileFilesReadInLittleMemory()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, result);
    if (!kMemoryLimitsHold)
        QSKIP("A sanitizer build cannot limit its memory.");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pankki.dat"_s);
    QVERIFY(writeFile(path, bytes));
    QString got;
    {
        // Reading in place, with the file's bytes held: six times the file.
        const MemoryLimit limit(6 * bytes.size());
        try {
            got = ImportSummaryText(path, ImportPaymentFile(path, classInvoices(), {}));
        } catch (const CommandError &error) {
            got = error.message();
        }
    }
    QVERIFY2(got.contains(result), qPrintable(got));
}

// However a file fails, what is told is the file's own message.
void PaymentImportTest::runningOutOfMemoryIsTheFilesMessage()
{
    if (!kMemoryLimitsHold)
        QSKIP("A sanitizer build cannot limit its memory.");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pankki.xml"_s);
    // Run first, before other tests leave memory free to reuse.
    QVERIFY(writeFile(path, camtOf(u"camt.054.001.02"_s, {pay(u"10003"_s, 100, u"A1"_s)}) + QByteArray(8 * 1024 * 1024, '\n')));
    QString got;
    {
        const MemoryLimit limit(1024 * 1024);
        got = refusalOf([&] { ImportPaymentFile(path, classInvoices(), {}); });
    }
    QCOMPARE(got, u"Maksutiedostoa pankki.xml ei luettu: muisti ei riittänyt sen lukemiseen."_s);
}

// A hostile file among good ones: it is refused with its message, and the
// payments of the good ones are stored.
void PaymentImportTest::hostileFileFromTheCommandLineKeepsTheOthers()
{
    const QString reference = AppendCheckDigit(u"5700"_s);
    ProgramFolder folder(reference);
    const QString good = folder.bankFile(u"hyva.xml"_s, camtOf(u"camt.054.001.02"_s, {pay(reference, 1000, u"A1"_s)}));
    const QString deep = folder.bankFile(u"syva.xml"_s, camtDocument(u"camt.054.001.02"_s, entryHolding(nested(u"a"_s, 50000))));
    const QString later = folder.bankFile(u"viitteet.txt"_s, referenceFileOf({pay(reference, 500, u"A2"_s)}));
    const ProgramFolder::Run imported = folder.run({u"--import-payments"_s, good, deep, later});
    QCOMPARE(imported.status, 1);
    QCOMPARE(ProgramFolder::classes(imported), (QStringList{u"osasuoritus"_s, u"osasuoritus"_s}));
    QVERIFY2(imported.err.contains(u"Virhe: Maksutiedostoa syva.xml ei luettu: rivillä 5 on elementtejä sisäkkäin yli 64 tasoa."_s),
             qPrintable(imported.err));
    QCOMPARE(folder.listed(), u"15,00\t15,00\terääntynyt"_s);
}

QTEST_GUILESS_MAIN(PaymentImportTest)
#include "tst_paymentimport.moc"
