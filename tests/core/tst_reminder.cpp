// Payment reminders of overdue invoices: the amounts and the new due date,
// the fee rules, the refusals, the giro form's payment codes for the new
// total, and the reminder's file beside the invoice.

#include "app/profile.h"
#include "base/commanderror.h"
#include "invoice/reminder.h"
#include "output/paymentcodes.h"
#include "storage/invoicefile.h"
#include "storage/payments.h"
#include "storage/reminderfile.h"
#include "storage/textfile.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Invoice 57 of 1 000,00 (one row, VAT in the price), dated 17.1.2026 and
// due 31.1.2026, reference 1009; a business customer when it has a
// business ID.
InvoiceRecord record(const QString &businessId = QString(), const QString &penalty = u"8 %"_s,
                     const QString &reference = u"1009"_s, const QString &due = u"31.1.2026"_s)
{
    InvoiceRecord r;
    r.invoice.header = {u"57"_s,         u"17.1.2026"_s, reference, businessId, u"3"_s, YesNoText(true),
                        YesNoText(true), u"14 pv"_s,     penalty,   u"7 pv"_s,  due};
    r.invoice.customer = {u"Asiakas"_s, u"Katu 1"_s, QString(), QString()};
    r.invoice.rows = {{QString(), u"Työ"_s, u"1"_s, u"kpl"_s, u"1000,00"_s, u"25,5"_s, QString()}};
    r.biller.officialName = u"Testi Oy"_s;
    r.biller.iban = u"FI21 1234 5600 0007 85"_s;
    r.biller.bic = u"NDEAFIHH"_s;
    return r;
}

Payment pay(const QDate &date, qint64 cents)
{
    Payment payment;
    payment.year = u"2026"_s;
    payment.invoiceNumber = u"57"_s;
    payment.date = date;
    payment.cents = cents;
    payment.source = kManualPaymentSource.toString();
    return payment;
}

ReminderRequest request(const QDate &date, int earlier = 0, std::optional<bool> business = std::nullopt)
{
    return ReminderRequest{u"2026"_s, date, earlier, business};
}

const QString kBusinessId = u"1234567-8"_s;
const QDate kReminderDate(2026, 3, 2);

} // namespace

class ReminderTest : public QObject
{
    Q_OBJECT

private slots:
    void amounts_data();
    void amounts();
    void fee_data();
    void fee();
    void refusals_data();
    void refusals();
    void paymentCodes_data();
    void paymentCodes();
    void fileNames();
    void fileWrittenAndReadBack();
    void damagedFileRefused_data();
    void damagedFileRefused();
    void settings_data();
    void settings();
    void everyReminderMadeReadsBack_data();
    void everyReminderMadeReadsBack();
    void fileOfEarlierRatesReadsBack();
};

void ReminderTest::amounts_data()
{
    QTest::addColumn<QList<Payment>>("payments");
    QTest::addColumn<QString>("penalty");
    QTest::addColumn<QString>("term");
    QTest::addColumn<QList<ReceivedPayment>>("listed");
    QTest::addColumn<qint64>("paid");
    QTest::addColumn<qint64>("open");
    QTest::addColumn<qint64>("interest");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QDate>("newDue");
    // Consumer, 1.2.–2.3.2026 at 9,5 %: 1 000,00 × 9,5 % × 30 / 365 = 7,81;
    // fee 5,00; new due date 2.3. + 14 days.
    QTest::newRow("nothing paid") << QList<Payment>() << u"8 %"_s << u"14 pv"_s << QList<ReceivedPayment>() << 0LL
                                  << 100000LL << 781LL << 101281LL << QDate(2026, 3, 16);
    // 1 000,00 × 9,5 % × 10 / 365 = 2,603 and 600,00 × 9,5 % × 20 / 365 = 3,123: 5,73.
    // The payment of 9.3., after the reminder's date, is not listed.
    QTest::newRow("partly paid, a later payment left out")
        << QList<Payment>{pay(QDate(2026, 3, 9), 10000), pay(QDate(2026, 2, 10), 40000)} << u"8 %"_s << u"14 pv"_s
        << QList<ReceivedPayment>{{QDate(2026, 2, 10), 40000}} << 40000LL << 60000LL << 573LL << 61073LL
        << QDate(2026, 3, 16);
    // Two payments listed by date: 1 000,00 × 5 days, 900,00 × 5 days, 600,00 × 20 days at 9,5 %:
    // 1,301 + 1,171 + 3,123 = 5,596 → 5,60.
    QTest::newRow("payments listed by date")
        << QList<Payment>{pay(QDate(2026, 2, 10), 30000), pay(QDate(2026, 2, 5), 10000)} << u"8 %"_s << u"14 pv"_s
        << QList<ReceivedPayment>{{QDate(2026, 2, 5), 10000}, {QDate(2026, 2, 10), 30000}} << 40000LL << 60000LL
        << 560LL << 61060LL << QDate(2026, 3, 16);
    // The invoice's 13 %: 1 000,00 × 13 % × 30 / 365 = 10,68.
    QTest::newRow("the invoice's own rate") << QList<Payment>() << u"13 %"_s << u"14 pv"_s << QList<ReceivedPayment>()
                                            << 0LL << 100000LL << 1068LL << 101568LL << QDate(2026, 3, 16);
    QTest::newRow("a term of the settings") << QList<Payment>() << u"8 %"_s << u"21 pv netto"_s
                                            << QList<ReceivedPayment>() << 0LL << 100000LL << 781LL << 101281LL
                                            << QDate(2026, 3, 23);
}

void ReminderTest::amounts()
{
    QFETCH(QList<Payment>, payments);
    QFETCH(QString, penalty);
    QFETCH(QString, term);
    QFETCH(QList<ReceivedPayment>, listed);
    QFETCH(qint64, paid);
    QFETCH(qint64, open);
    QFETCH(qint64, interest);
    QFETCH(qint64, total);
    QFETCH(QDate, newDue);
    ReminderSettings settings;
    settings.term = term;
    const Reminder reminder = MakeReminder(record(QString(), penalty), payments, request(kReminderDate), settings);
    QCOMPARE(reminder.number, 1);
    QCOMPARE(reminder.invoiceNumber, u"57"_s);
    QCOMPARE(reminder.invoiceDate, u"17.1.2026"_s);
    QCOMPARE(reminder.dueDate, QDate(2026, 1, 31));
    QCOMPARE(reminder.reference, u"1009"_s);
    QCOMPARE(reminder.originalCents, 100000LL);
    QCOMPARE(reminder.payments, listed);
    QCOMPARE(reminder.paidCents, paid);
    QCOMPARE(reminder.openCents, open);
    QCOMPARE(reminder.interest.cents, interest);
    QCOMPARE(reminder.feeCents, 500LL);
    QCOMPARE(reminder.totalCents, total);
    QCOMPARE(reminder.newDueDate, newDue);
}

void ReminderTest::fee_data()
{
    QTest::addColumn<QString>("businessId");
    QTest::addColumn<std::optional<bool>>("business");
    QTest::addColumn<qint64>("settingFee");
    QTest::addColumn<bool>("compensation");
    QTest::addColumn<int>("earlier");
    QTest::addColumn<qint64>("fee");
    QTest::addColumn<QString>("caption");
    const std::optional<bool> byId;
    const QString fee = u"Muistutusmaksu"_s;
    const QString fixed = u"Vakiokorvaus perintäkuluista"_s;
    QTest::newRow("consumer, the default fee") << QString() << byId << 500LL << false << 0 << 500LL << fee;
    QTest::newRow("consumer, a higher fee capped at 5,00") << QString() << byId << 800LL << true << 0 << 500LL << fee;
    QTest::newRow("consumer, a lower fee stands") << QString() << byId << 300LL << false << 0 << 300LL << fee;
    QTest::newRow("business, the fee uncapped") << kBusinessId << byId << 800LL << false << 0 << 800LL << fee;
    QTest::newRow("business, first reminder: 40,00")
        << kBusinessId << byId << 800LL << true << 0 << 4000LL << fixed;
    QTest::newRow("business, second reminder: the fee")
        << kBusinessId << byId << 800LL << true << 1 << 800LL << fee;
    QTest::newRow("business ID, told a consumer") << kBusinessId << std::optional<bool>(false) << 800LL << true << 0
                                                  << 500LL << fee;
    QTest::newRow("no business ID, told a business") << QString() << std::optional<bool>(true) << 800LL << true << 0
                                                     << 4000LL << fixed;
}

void ReminderTest::fee()
{
    QFETCH(QString, businessId);
    QFETCH(std::optional<bool>, business);
    QFETCH(qint64, settingFee);
    QFETCH(bool, compensation);
    QFETCH(int, earlier);
    QFETCH(qint64, fee);
    QFETCH(QString, caption);
    ReminderSettings settings;
    settings.feeCents = settingFee;
    settings.fixedCompensation = compensation;
    const Reminder reminder = MakeReminder(record(businessId), {}, request(kReminderDate, earlier, business), settings);
    QCOMPARE(reminder.number, earlier + 1);
    QCOMPARE(reminder.feeCents, fee);
    QCOMPARE(ReminderFeeText(reminder.feeKind), caption);
    QCOMPARE(reminder.totalCents, reminder.openCents + reminder.interest.cents + fee);
    // A business pays 8 points over the reference rate, a consumer 7: 8,63 or 7,81.
    QCOMPARE(reminder.interest.cents, reminder.business ? 863LL : 781LL);
}

void ReminderTest::refusals_data()
{
    QTest::addColumn<QString>("businessId");
    QTest::addColumn<QString>("due");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QList<Payment>>("payments");
    QTest::addColumn<QString>("refusal");
    const QList<Payment> none;
    const QString due = u"31.1.2026"_s;
    QTest::newRow("consumer, 13 days past the due date")
        << QString() << due << QDate(2026, 2, 13) << none
        << u"Kuluttajalle muistutuksen voi lähettää aikaisintaan 14 päivää eräpäivän jälkeen, 14.2.2026 alkaen."_s;
    QTest::newRow("consumer, 14 days past the due date") << QString() << due << QDate(2026, 2, 14) << none << QString();
    QTest::newRow("business, a day past the due date") << kBusinessId << due << QDate(2026, 2, 1) << none << QString();
    QTest::newRow("on the due date") << kBusinessId << due << QDate(2026, 1, 31) << none
                                     << u"Lasku 57 ei ole erääntynyt: eräpäivä on 31.1.2026."_s;
    QTest::newRow("no due date") << kBusinessId << u"pian"_s << kReminderDate << none
                                 << u"Laskun 57 eräpäivä \"pian\" ei ole päivämäärä; muistutusta ei voi tehdä."_s;
    QTest::newRow("paid in full") << QString() << due << kReminderDate
                                  << QList<Payment>{pay(QDate(2026, 2, 20), 60000), pay(QDate(2026, 2, 21), 40000)}
                                  << u"Laskulla 57 ei ole avointa summaa."_s;
    QTest::newRow("a half-year without a reference rate")
        << QString() << u"30.6.2026"_s << QDate(2026, 7, 20) << none
        << u"Viitekorkoa ei ole puolivuodelle 1.7.2026–31.12.2026; lisää se laskuttajan tietoihin."_s;
}

void ReminderTest::refusals()
{
    QFETCH(QString, businessId);
    QFETCH(QString, due);
    QFETCH(QDate, date);
    QFETCH(QList<Payment>, payments);
    QFETCH(QString, refusal);
    QCOMPARE(refusalOf([&] {
                 MakeReminder(record(businessId, u"8 %"_s, u"1009"_s, due), payments, request(date), ReminderSettings());
             }),
             refusal);
}

void ReminderTest::paymentCodes_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("barcode");
    QTest::addColumn<QString>("qr");
    // 610,73 due 16.3.2026 (see "partly paid"): version 4, the IBAN's 16
    // digits, euros in 6 and cents in 2, 000, the reference in 20, YYMMDD.
    QTest::newRow("national reference")
        << u"1009"_s << u"4" "2112345600000785" "000610" "73" "000" "00000000000000001009" "260316"_s
        << u"BCD\n002\n1\nSCT\nNDEAFIHH\nTesti Oy\nFI2112345600000785\nEUR610.73\n\n1009\n\nReqdExctnDt/2026-03-16"_s;
    // Version 5: the RF check digits, the body in 21.
    QTest::newRow("RF reference")
        << u"RF18 1009"_s << u"5" "2112345600000785" "000610" "73" "18" "000000000000000001009" "260316"_s
        << u"BCD\n002\n1\nSCT\nNDEAFIHH\nTesti Oy\nFI2112345600000785\nEUR610.73\n\nRF181009\n\nReqdExctnDt/2026-03-16"_s;
    QTest::newRow("a reference failing its check gives no codes") << u"1008"_s << QString() << QString();
}

void ReminderTest::paymentCodes()
{
    QFETCH(QString, reference);
    QFETCH(QString, barcode);
    QFETCH(QString, qr);
    const InvoiceRecord invoice = record(QString(), u"8 %"_s, reference);
    const Reminder reminder = WithPaymentCodes(
        MakeReminder(invoice, {pay(QDate(2026, 2, 10), 40000)}, request(kReminderDate), ReminderSettings()),
        invoice.biller);
    QCOMPARE(reminder.totalCents, 61073LL);
    QCOMPARE(reminder.bankBarcode, barcode);
    QCOMPARE(reminder.epcQrText.value_or(QString()), qr);
}

void ReminderTest::fileNames()
{
    QTemporaryDir dir;
    const QString dataDir = QDir::toNativeSeparators(dir.path()) + QDir::separator();
    QCOMPARE(ReminderFileName(u"57"_s, 1), u"57-M1.csv"_s);
    QCOMPARE(ReminderFilePath(dataDir, u"2026"_s, u"57"_s, 2),
             dataDir + u"2026"_s + QDir::separator() + u"57-M2.csv"_s);
    QVERIFY(IsReminderFileName(u"57-M1.csv"));
    QVERIFY(IsReminderFileName(u"A-7-M12.csv"));
    QVERIFY(!IsReminderFileName(u"57.csv"));
    QVERIFY(!IsReminderFileName(u"57-M0.csv"));
    QVERIFY(!IsReminderFileName(u"-M1.csv"));

    QVERIFY(QDir(dir.path()).mkpath(u"2026"_s));
    QCOMPARE(SavedReminderCount(dataDir, u"2026"_s, u"57"_s), 0);
    const Reminder first = MakeReminder(record(), {}, request(kReminderDate), ReminderSettings());
    WriteReminderFile(ReminderFilePath(dataDir, u"2026"_s, u"57"_s, first.number), first);
    QCOMPARE(SavedReminderCount(dataDir, u"2026"_s, u"57"_s), 1);
    // The next reminder is the second, charged as such.
    const Reminder second = MakeReminder(record(), {}, request(QDate(2026, 3, 20), 1), ReminderSettings());
    QCOMPARE(second.number, 2);
    WriteReminderFile(ReminderFilePath(dataDir, u"2026"_s, u"57"_s, second.number), second);
    QCOMPARE(SavedReminderCount(dataDir, u"2026"_s, u"57"_s), 2);
    QCOMPARE(SavedReminderCount(dataDir, u"2026"_s, u"58"_s), 0);
}

void ReminderTest::fileWrittenAndReadBack()
{
    QTemporaryDir dir;
    ReminderSettings settings;
    settings.fixedCompensation = true;
    const InvoiceRecord invoice = record(kBusinessId, u"10,5 %"_s);
    const QList<Payment> payments{pay(QDate(2026, 2, 10), 40000), pay(QDate(2026, 2, 20), -5050)};
    const Reminder reminder = MakeReminder(invoice, payments, request(kReminderDate), settings);
    const QString path = dir.filePath(u"57-M1.csv"_s);
    WriteReminderFile(path, reminder);

    // Business at 10,5 %, equal to the invoice's own: 1.–10.2. 1 000,00 × 10 d
    // = 2,877; 11.–20.2. 600,00 × 10 d = 1,726; 21.2.–2.3. 650,50 × 10 d = 1,871;
    // 6,474 → 6,47. Open 650,50 + 6,47 + 40,00 = 696,97.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("MAKSUMUISTUTUS,1,2026,57,17.1.2026,31.1.2026,1009,2.3.2026,16.3.2026,1,\"10,5\"\r\n"
                        "\"1000,00\",\"349,50\",\"650,50\",\"6,47\",vakiokorvaus,\"40,00\",\"696,97\"\r\n"
                        "maksu,10.2.2026,\"400,00\"\r\n"
                        "maksu,20.2.2026,\"-50,50\"\r\n"
                        "korko,1.2.2026,10.2.2026,\"1000,00\",\"2,5\",\"10,5\",0,10,365\r\n"
                        "korko,11.2.2026,20.2.2026,\"600,00\",\"2,5\",\"10,5\",0,10,365\r\n"
                        "korko,21.2.2026,2.3.2026,\"650,50\",\"2,5\",\"10,5\",0,10,365\r\n"));
    QCOMPARE(ReadReminderFile(path), reminder);

    WriteTextLines(path, InvoiceFileLines(invoice.invoice));
    QCOMPARE(refusalOf([&] { ReadReminderFile(path); }),
             u"Tiedosto %1 ei ole maksumuistutus."_s.arg(QDir::toNativeSeparators(path)));
}

void ReminderTest::damagedFileRefused_data()
{
    QTest::addColumn<QStringList>("lines");
    const QString head = u"MAKSUMUISTUTUS,1,2026,57,17.1.2026,31.1.2026,1009,2.3.2026,16.3.2026,0,"_s;
    const QString amounts = u"\"1000,00\",0,\"1000,00\",\"7,81\",maksu,\"5,00\",\"1012,81\""_s;
    const QString period = u"korko,1.2.2026,2.3.2026,\"1000,00\",\"2,5\",\"9,5\",0,30,365"_s;
    QTest::newRow("sound, for comparison") << QStringList{head, amounts, u"maksu,1.2.2026,1"_s, period};
    QTest::newRow("an invoice's lines") << InvoiceFileLines(record().invoice);
    QTest::newRow("the head alone") << QStringList{head};
    QTest::newRow("no reminder number")
        << QStringList{u"MAKSUMUISTUTUS,x,2026,57,17.1.2026,31.1.2026,1009,2.3.2026,16.3.2026,0,"_s, amounts};
    QTest::newRow("a date that is none")
        << QStringList{u"MAKSUMUISTUTUS,1,2026,57,17.1.2026,31.1.2026,1009,2.3.2026,32.3.2026,0,"_s, amounts};
    QTest::newRow("an unknown fee") << QStringList{head, u"1,0,1,0,lahja,0,1"_s};
    QTest::newRow("an amount that is none") << QStringList{head, u"1,0,paljon,0,maksu,0,1"_s};
    QTest::newRow("a payment without a date") << QStringList{head, amounts, u"maksu,eilen,1"_s};
    QTest::newRow("an interest period without days")
        << QStringList{head, amounts, u"korko,1.2.2026,2.3.2026,\"1000,00\",\"2,5\",\"9,5\",0,,365"_s};
    QTest::newRow("a line of no kind") << QStringList{head, amounts, u"muuta,1.2.2026"_s};
}

void ReminderTest::damagedFileRefused()
{
    QFETCH(QStringList, lines);
    const std::optional<Reminder> read = ReadReminderFileLines(lines);
    QCOMPARE(read.has_value(), QByteArray(QTest::currentDataTag()) == "sound, for comparison");
}

void ReminderTest::settings_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("rates");
    QTest::addColumn<qint64>("fee");
    QTest::addColumn<bool>("compensation");
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("refusal");
    const QString published = ReferenceRatesText(PublishedReferenceRates());
    QTest::newRow("none set: the defaults")
        << QByteArray("[Laskuttaja]\r\nNimi=Oy\r\n") << published << 500LL << false << u"14 pv"_s << QString();
    QTest::newRow("all set")
        << QByteArray("[Laskuttaja]\r\nViitekorot=1.1.2026=2,5;1.7.2026=2,15\r\nMuistutusmaksu=7,50\r\n"
                      "Vakiokorvaus=1\r\nMuistutusaika=10 pv\r\n")
        << u"1.1.2026=2,5;1.7.2026=2,15"_s << 750LL << true << u"10 pv"_s << QString();
    QTest::newRow("a fee that is no amount")
        << QByteArray("[Laskuttaja]\r\nMuistutusmaksu=viisi\r\n") << QString() << 0LL << false << QString()
        << u"Muistutusmaksu \"viisi\" ei ole rahasumma; kirjoita euroina ja sentteinä, esim. 5,00."_s;
    QTest::newRow("a rate over 100 %")
        << QByteArray("[Laskuttaja]\r\nViitekorot=1.1.2026=2,5;1.7.2026=999,99\r\n") << QString() << 0LL << false
        << QString()
        << u"Viitekorkojen asetus ei ole luettavissa kohdasta \"1.7.2026=999,99\"; korjaa se laskuttajan tietoihin."_s;
    QTest::newRow("an unreadable table")
        << QByteArray("[Laskuttaja]\r\nViitekorot=2026=2,5\r\n") << QString() << 0LL << false << QString()
        << u"Viitekorkojen asetus ei ole luettavissa kohdasta \"2026=2,5\"; korjaa se laskuttajan tietoihin."_s;
}

void ReminderTest::settings()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, rates);
    QFETCH(qint64, fee);
    QFETCH(bool, compensation);
    QFETCH(QString, term);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    QFile file(dir.filePath(u"laskutus.ini"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ini);
    file.close();
    ReminderSettings read;
    QCOMPARE(refusalOf([&] { read = CheckedReminderSettings(ReadProfile(file.fileName())); }), refusal);
    if (!refusal.isEmpty())
        return;
    QCOMPARE(ReferenceRatesText(read.referenceRates), rates);
    QCOMPARE(read.feeCents, fee);
    QCOMPARE(read.fixedCompensation, compensation);
    QCOMPARE(read.term, term);
}

void ReminderTest::everyReminderMadeReadsBack_data()
{
    QTest::addColumn<QString>("rates");
    QTest::addColumn<QString>("fee");
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("businessId");
    QTest::addColumn<QString>("penalty");
    QTest::addColumn<QString>("price");
    // Empty when the reminder is made.
    QTest::addColumn<QString>("refusal");
    const QString rates = u"1.1.2026=2,5"_s;
    const QString fee = u"5,00"_s;
    const QString term = u"14 pv"_s;
    const QString price = u"1000,00"_s;
    const qint64 toLastDay = kReminderDate.daysTo(QDate(9999, 12, 31));
    QTest::newRow("the highest reference rate, business: 108 %")
        << u"1.1.2026=100"_s << fee << term << kBusinessId << u"8 %"_s << price << QString();
    QTest::newRow("a reference rate of nothing, no fee")
        << u"1.1.2026=0"_s << u"0"_s << term << QString() << u"8 %"_s << price << QString();
    QTest::newRow("the highest rate an invoice states")
        << rates << fee << term << kBusinessId << u"999,99 %"_s << price << QString();
    QTest::newRow("the largest invoice at the highest stated rate")
        << rates << fee << term << kBusinessId << u"999,99 %"_s << u"999999999,99"_s << QString();
    QTest::newRow("a fee that the file still holds")
        << rates << u"999999000000,00"_s << term << kBusinessId << u"8 %"_s << price << QString();
    QTest::newRow("the longest term: due on the last day of 9999")
        << rates << fee << u"%1 pv"_s.arg(toLastDay) << QString() << u"8 %"_s << price << QString();
    // A business customer's 1 007,99 % was written but never read back.
    QTest::newRow("a reference rate over 100 %")
        << u"1.1.2026=999,99"_s << fee << term << kBusinessId << u"8 %"_s << price
        << u"Viitekorko 999,99 % (alkaen 1.1.2026) on liian suuri; kirjoita 0–100 %."_s;
    QTest::newRow("a reference rate just over 100 %")
        << u"1.1.2026=100,01"_s << fee << term << kBusinessId << u"8 %"_s << price
        << u"Viitekorko 100,01 % (alkaen 1.1.2026) on liian suuri; kirjoita 0–100 %."_s;
    // Business, 10,5 %: 1 000,00 × 10,5 % × 30 / 365 = 8,63.
    QTest::newRow("the largest fee the settings take")
        << rates << u"999999999999,99"_s << term << kBusinessId << u"8 %"_s << price
        << u"Laskun 57 maksumuistutukseen tulisi summa 1000000001008,62 €, joka on liian suuri."_s;
    QTest::newRow("a term past the year 9999")
        << rates << fee << u"%1 pv"_s.arg(toLastDay + 1) << QString() << u"8 %"_s << price
        << u"Muistutusajasta \"%1 pv\" tulisi uusi eräpäivä vuoden 9999 jälkeen; kirjoita lyhyempi muistutusaika "
           "laskuttajan tietoihin."_s.arg(toLastDay + 1);
    QTest::newRow("the longest term the settings take")
        << rates << fee << u"2147483647 pv"_s << QString() << u"8 %"_s << price
        << u"Muistutusajasta \"2147483647 pv\" tulisi uusi eräpäivä vuoden 9999 jälkeen; kirjoita lyhyempi "
           "muistutusaika laskuttajan tietoihin."_s;
}

// The settings as the biller details take them, at their extremes: a
// reminder is either refused, in Finnish, or made, and then its file gives
// it back whole.
void ReminderTest::everyReminderMadeReadsBack()
{
    QFETCH(QString, rates);
    QFETCH(QString, fee);
    QFETCH(QString, term);
    QFETCH(QString, businessId);
    QFETCH(QString, penalty);
    QFETCH(QString, price);
    QFETCH(QString, refusal);
    InvoiceRecord invoice = record(businessId, penalty);
    invoice.invoice.rows[0][PriceColumn] = price;
    std::optional<Reminder> made;
    const QString refused = refusalOf([&] {
        ReminderSettings settings;
        settings.referenceRates = ReferenceRatesOfRows(ReferenceRateRows(rates));
        settings.feeCents = ReminderFeeCents(fee);
        settings.term = ReminderTermText(term);
        made = MakeReminder(invoice, {}, request(kReminderDate), settings);
    });
    QCOMPARE(refused, refusal);
    if (!refusal.isEmpty())
        return;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"57-M1.csv"_s);
    WriteReminderFile(path, *made);
    QCOMPARE(ReadReminderFile(path), *made);
}

// A reminder file of an earlier version, which took reference rates up to
// 999,99 %, reads with its business customer's 1 007,99 %.
void ReminderTest::fileOfEarlierRatesReadsBack()
{
    const QStringList lines{
        u"MAKSUMUISTUTUS,1,2026,57,17.1.2026,31.1.2026,1009,2.3.2026,16.3.2026,1,"_s,
        u"\"1000,00\",\"0,00\",\"1000,00\",\"828,48\",maksu,\"5,00\",\"1833,48\""_s,
        u"korko,1.2.2026,2.3.2026,\"1000,00\",\"999,99\",\"1007,99\",0,30,365"_s,
    };
    const std::optional<Reminder> read = ReadReminderFileLines(lines);
    QVERIFY(read.has_value());
    QCOMPARE(read->interest.periods.size(), 1);
    QCOMPARE(read->interest.periods[0].referenceRate, 99999);
    QCOMPARE(read->interest.periods[0].rate, 100799);
    QCOMPARE(read->totalCents, 183348LL);
    QCOMPARE(ReminderFileLines(*read).mid(1), lines.mid(1));
}

QTEST_APPLESS_MAIN(ReminderTest)
#include "tst_reminder.moc"
