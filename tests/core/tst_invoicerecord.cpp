// What follows from an invoice record alone: its totals under its own VAT
// mode, its due date, and the bank barcode, virtual barcode and QR text.

#include "invoice/invoicerecord.h"
#include "output/paymentcodes.h"
#include "storage/invoicefile.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One row of 100,00 at 25,5 %, dated 7.12.2026, due 14 days later.
InvoiceRecord record(const QString &reference, bool pricesWithVat)
{
    InvoiceRecord r;
    r.invoice.header = {u"57"_s, u"7.12.2026"_s, reference, QString(), QString(), YesNoText(pricesWithVat),
                        YesNoText(true), u"14 pv netto"_s, u"8 %"_s, u"7 pv"_s, u"21.12.2026"_s};
    r.invoice.customer = {u"Matti"_s, u"Katu 1"_s, QString(), QString()};
    r.invoice.rows = {{QString(), u"Tuote"_s, u"1"_s, u"kpl"_s, u"100,00"_s, u"25,5"_s, QString()}};
    r.biller.officialName = u"Testi  Oy"_s;
    r.biller.iban = u"FI21 1234 5600 0007 85"_s;
    r.biller.bic = u"NDEAFIHH"_s;
    return r;
}

} // namespace

class InvoiceRecordTest : public QObject
{
    Q_OBJECT

private slots:
    void dueDate_data();
    void dueDate();
    void completedFromAFile_data();
    void completedFromAFile();
    void paymentCodes_data();
    void paymentCodes();
};

void InvoiceRecordTest::dueDate_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("terms");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QString>("due");
    QTest::newRow("kept date wins over the terms")
        << u"7.12.2026"_s << u"14 pv netto"_s << QStringList{u"15.1.2027"_s} << u"15.1.2027"_s;
    QTest::newRow("none kept: the invoice's own terms") << u"7.12.2026"_s << u"30 pv"_s << QStringList() << u"6.1.2027"_s;
    QTest::newRow("kept text that is no date stands")
        << u"7.12.2026"_s << u"14 pv"_s << QStringList{u"00.00.0000"_s} << u"00.00.0000"_s;
    QTest::newRow("kept empty stands") << u"7.12.2026"_s << u"14 pv"_s << QStringList{QString()} << QString();
    QTest::newRow("none kept, nothing to count from") << u"ei päivää"_s << u"14 pv"_s << QStringList() << QString();
}

void InvoiceRecordTest::dueDate()
{
    QFETCH(QString, date);
    QFETCH(QString, terms);
    QFETCH(QStringList, kept);
    QFETCH(QString, due);
    InvoiceRecord r = record(u"1009"_s, false);
    r.invoice.header[InvoiceDateField] = date;
    r.invoice.header[PaymentTermsField] = terms;
    r.invoice.header = r.invoice.header.mid(0, DueDateField) + kept;
    QCOMPARE(RecordDueDate(r), due);
}

void InvoiceRecordTest::completedFromAFile_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("completed");
    const QString defaults = u"|1|0|28 pv|11 %|5 pv|"_s;
    QTest::newRow("older file: today's defaults, due date counted") << QString() << defaults + u"4.1.2027"_s;
    QTest::newRow("all kept") << u"|0|1|10 pv|9 %|3 pv|1.1.2027"_s << u"|0|1|10 pv|9 %|3 pv|1.1.2027"_s;
    QTest::newRow("kept empty terms stay empty, due the same day")
        << u"|0|1|||3 pv|"_s << u"|0|1|||3 pv|7.12.2026"_s;
    QTest::newRow("yes/no no numbers, due date no date: counted from the invoice's terms")
        << u"|kyllä||10 pv|9 %|3 pv|32.12.2026"_s << u"|1|0|10 pv|9 %|3 pv|17.12.2026"_s;
    QTest::newRow("cut short after the VAT modes") << u"|0|0"_s << u"|0|0|28 pv|11 %|5 pv|4.1.2027"_s;
}

// An opened file comes back as issued; what it does not hold comes from
// today's defaults, and its due date is counted only when it holds none.
void InvoiceRecordTest::completedFromAFile()
{
    QFETCH(QString, stored);
    QFETCH(QString, completed);
    InvoiceData file;
    file.header = (u"57|7.12.2026|1009||"_s + stored).split(u'|');
    const InvoiceDefaults defaults{true, false, u"28 pv"_s, u"11 %"_s, u"5 pv"_s};
    const QStringList header = CompletedInvoice(file, defaults).header;
    QCOMPARE(header.size(), int(HeaderFieldCount));
    QCOMPARE(header.mid(CustomerNumberField, DueDateField - CustomerNumberField + 1).join(u'|'), completed);
}

void InvoiceRecordTest::paymentCodes_data()
{
    QTest::addColumn<InvoiceRecord>("record");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("barcode");
    QTest::addColumn<QString>("qr");

    const QString iban = u"2112345600000785"_s;
    const QString qrHead = u"BCD\n002\n1\nSCT\nNDEAFIHH\nTesti Oy\nFI2112345600000785\n"_s;
    QTest::newRow("national reference") << record(u"1009"_s, false) << u"125,50"_s
                                        << u"4"_s + iban + u"00012550000"_s + u"1009"_s.rightJustified(20, u'0') + u"261221"_s
                                        << qrHead + u"EUR125.50\n\n1009\n\nReqdExctnDt/2026-12-21"_s;
    QTest::newRow("prices with VAT") << record(u"1009"_s, true) << u"100,00"_s
                                     << u"4"_s + iban + u"00010000000"_s + u"1009"_s.rightJustified(20, u'0') + u"261221"_s
                                     << qrHead + u"EUR100.00\n\n1009\n\nReqdExctnDt/2026-12-21"_s;
    QTest::newRow("RF reference") << record(u"RF18 1009"_s, false) << u"125,50"_s
                                  << u"5"_s + iban + u"0001255018"_s + u"1009"_s.rightJustified(21, u'0') + u"261221"_s
                                  << qrHead + u"EUR125.50\n\nRF181009\n\nReqdExctnDt/2026-12-21"_s;
    QTest::newRow("failing reference: no codes") << record(u"1008"_s, false) << u"125,50"_s << QString() << QString();
    InvoiceRecord old = record(u"1009"_s, true);
    old.invoice.header = old.invoice.header.mid(0, CustomerNumberField + 1);
    QTest::newRow("no VAT mode or terms: prices without VAT, due the same day")
        << old << u"125,50"_s << u"4"_s + iban + u"00012550000"_s + u"1009"_s.rightJustified(20, u'0') + u"261207"_s
        << qrHead + u"EUR125.50\n\n1009\n\nReqdExctnDt/2026-12-07"_s;
}

void InvoiceRecordTest::paymentCodes()
{
    QFETCH(InvoiceRecord, record);
    QFETCH(QString, total);
    QFETCH(QString, barcode);
    QFETCH(QString, qr);
    QCOMPARE(RecordTotals(record).total, total);
    QCOMPARE(RecordBankBarcode(record), barcode);
    QCOMPARE(RecordVirtualBarcode(record), barcode.isEmpty() ? QString() : u"Virtuaaliviivakoodi  "_s + barcode);
    QCOMPARE(RecordEpcQrText(record).value_or(QString()), qr);
}

QTEST_APPLESS_MAIN(InvoiceRecordTest)
#include "tst_invoicerecord.moc"
