// The e-invoices of a record: valid by the official schemas and rules, stating
// the page's totals, VAT lines, reference, account, amount and due date, the
// refusals before writing, and the worked Finvoice example of the program.

#include "invoice/creditnote.h"
#include "invoice/invoicerecord.h"
#include "invoice/numbering.h"
#include "output/einvoice.h"
#include "output/einvoicefields.h"
#include "output/paymentcodes.h"
#include "storage/invoicefile.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(EinvoiceFormat)
Q_DECLARE_METATYPE(InvoiceRecord)

namespace {

constexpr int kGeneratedInvoices = 200;
const QString kSaxonJar = u"/usr/share/java/Saxon-HE.jar"_s;
const QDateTime kSent(QDate(2026, 12, 7), QTime(12, 30), QTimeZone(7200));

// The schemas and rules in the folder LASKUTUS_EINVOICE_DIR names; empty
// when it names none that holds them.
QString einvoiceDir()
{
    const QString dir = qEnvironmentVariable("LASKUTUS_EINVOICE_DIR");
    if (dir.isEmpty())
        return QString();
    return QFileInfo::exists(dir + u"/Finvoice3.0.xsd"_s) ? QDir(dir).absolutePath() : QString();
}

// Without the schemas the rest of a test, which checks files against them,
// is skipped; under CI, where every check must run, it fails instead.
#define SCHEMAS_OR_SKIP(schemas)                                                                          \
    do {                                                                                                  \
        if ((schemas).isEmpty()) {                                                                        \
            QVERIFY2(!RunningUnderCi(), "No e-invoice schemas under CI: set LASKUTUS_EINVOICE_DIR to the " \
                                        "folder holding Finvoice3.0.xsd.");                               \
            QSKIP("No e-invoice schemas: set LASKUTUS_EINVOICE_DIR to the folder holding Finvoice3.0.xsd " \
                  "to check the files.");                                                                 \
        }                                                                                                 \
    } while (false)

struct ToolRun
{
    int status = -1;
    QString output;
};

ToolRun run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return {-1, program + u" did not run: "_s + process.errorString()};
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

// Every element's text and attributes by its path of local names, in
// document order: "Finvoice/EpiDetails/…/EpiInstructedAmount" and
// ".../EpiRemittanceInfoIdentifier@IdentificationSchemeName".
using XmlValues = QHash<QString, QStringList>;

XmlValues readValues(const QByteArray &xml)
{
    XmlValues values;
    QXmlStreamReader reader(xml);
    QStringList path;
    QString text;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            path << reader.name().toString();
            text.clear();
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                values[path.join(u'/') + u'@' + attribute.name().toString()] << attribute.value().toString();
        } else if (reader.isCharacters()) {
            text += reader.text();
        } else if (reader.isEndElement()) {
            values[path.join(u'/')] << text.trimmed();
            text.clear();
            path.removeLast();
        }
    }
    if (reader.hasError())
        qWarning() << "XML error:" << reader.errorString();
    return values;
}

// The elements and attributes of a document in order, one line each, for
// comparing two documents element by element.
QStringList flattened(const QByteArray &xml)
{
    QStringList lines;
    QXmlStreamReader reader(xml);
    QStringList path;
    QString text;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            path << reader.name().toString();
            text.clear();
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                lines << path.join(u'/') + u'@' + attribute.name().toString() + u'=' + attribute.value().toString();
        } else if (reader.isCharacters()) {
            text += reader.text();
        } else if (reader.isEndElement()) {
            lines << path.join(u'/') + u'=' + text.trimmed();
            text.clear();
            path.removeLast();
        }
    }
    return lines;
}

// The page's amount text as each format writes amounts.
QString finvoiceAmount(const QString &page)
{
    return QString(page).remove(QChar(0x00A0));
}

QString peppolAmount(const QString &page)
{
    return finvoiceAmount(page).replace(u',', u'.');
}

QString bare(QString text)
{
    return text.remove(u' ');
}

qint64 cents(QString amount)
{
    amount.remove(u',').remove(u'.');
    return amount.toLongLong();
}

QString plainDate(const QString &dmy, const QString &format)
{
    return QDate::fromString(dmy, u"d.M.yyyy"_s).toString(format);
}

// ---- generated invoices

const QStringList kRates = {u"25,5"_s, u"14"_s, u"13,5"_s, u"10"_s, u"0"_s};
const QStringList kQuantities = {u"1"_s, u"2"_s, u"3"_s, u"0,5"_s, u"1,25"_s, u"10"_s, u"7"_s, u"12,5"_s};
const QStringList kUnits = {u"kpl"_s, u"h"_s, u"km"_s, QString(), u"pv"_s, u"erä"_s};
const QStringList kWords = {u"Työ"_s, u"Ääniselvitys"_s, u"\"Lainattu\" <osa> & muu"_s, u"Öljy 5 €/l"_s,
                            u"Kahvi"_s, u"Pitkä kuvaus"_s, u"Ylläpito 'kuukausi'"_s, u"Åland"_s};

QString randomText(QRandomGenerator &random, int words)
{
    QStringList parts;
    for (int i = 0; i < words; ++i)
        parts << kWords[random.bounded(kWords.size())];
    return parts.join(u' ');
}

QString randomPrice(QRandomGenerator &random, int highestEuros)
{
    const int euros = random.bounded(1, highestEuros);
    const int centsPart = random.bounded(100);
    return QString::number(euros) + u',' + QString::number(centsPart).rightJustified(2, u'0');
}

InvoiceRecord generatedRecord(int index, QRandomGenerator &random)
{
    InvoiceRecord r;
    const bool pricesWithVat = index % 4 >= 2;
    const bool totalsWithVat = index % 2 == 1;
    QString national = QString::number(random.bounded(100, 999999)) + QString::number(index);
    national = AppendCheckDigit(national);
    const QString reference = index % 3 == 0 ? RfReference(national) : national;
    const QDate date = QDate(2026, 1, 1).addDays(random.bounded(365));
    r.invoice.header = {QString::number(1000 + index), DateText(date), reference,
                        index % 5 == 0 ? QString() : u"2345678-0"_s, QString::number(index),
                        YesNoText(pricesWithVat), YesNoText(totalsWithVat),
                        u"%1 pv netto"_s.arg(random.bounded(0, 60)), index % 2 ? u"13%"_s : u"8 %"_s, u"7 pv"_s,
                        index % 7 == 0 ? DateText(date.addDays(30)) : QString(),
                        index % 2 ? u"003723456780"_s : u"2345678-0"_s, u"003721291126"_s};
    // The eighth customer's name is cut in Finvoice in the middle of a
    // character that takes two UTF-16 units.
    const QString name = index % 10 == 0 ? randomText(random, 12)
            : index == 7                 ? QString(69, u'x') + u"\U0001F382 Oy"_s
                                         : u"Asiakas \"Ää\" <Öy> & Co"_s;
    r.invoice.customer = {name, u"Kauppakatu "_s + QString::number(index), index % 3 ? QString() : u"PL 12"_s,
                          u"00100 HELSINKI"_s};
    const int rows = index % 20 == 0 ? 200 : index % 20 == 1 ? 1 : random.bounded(2, 12);
    for (int i = 0; i < rows; ++i) {
        if (rows > 1 && random.bounded(8) == 0) {
            r.invoice.rows << QStringList{QString(), randomText(random, 3), QString(), QString(), QString(),
                                          QString(), QString()};
            continue;
        }
        r.invoice.rows << QStringList{random.bounded(3) ? QString() : u"A-"_s + QString::number(i),
                                      randomText(random, index % 10 == 5 ? 30 : 2),
                                      kQuantities[random.bounded(kQuantities.size())],
                                      kUnits[random.bounded(kUnits.size())],
                                      randomPrice(random, rows > 100 ? 40 : 2000),
                                      kRates[random.bounded(kRates.size())], QString()};
    }
    // A discount: a negative price, smaller than any priced row's amount.
    if (rows >= 3 && index % 6 == 2)
        r.invoice.rows << QStringList{QString(), u"Alennus"_s, u"1"_s, QString(), u"-0,25"_s,
                                      kRates[random.bounded(kRates.size())], QString()};
    r.biller.officialName = index % 10 == 3 ? randomText(random, 15) : u"Esimerkki & \"Poika\" Tmi"_s;
    r.biller.address1 = u"Pajakatu 3"_s;
    r.biller.postOffice = u"33100 TAMPERE"_s;
    r.biller.phone = u"040 123 4567"_s;
    r.biller.homeTown = u"Tampere"_s;
    r.biller.businessId = u"1234567-1"_s;
    r.biller.vatId = index % 3 == 1 ? QString() : u"FI12345671"_s;
    r.biller.iban = u"FI21 1234 5600 0007 85"_s;
    r.biller.bic = u"NDEAFIHH"_s;
    r.biller.freeText1 = index % 4 == 0 ? u"Kiitos <kaupasta> & tervetuloa!"_s : QString();
    r.biller.einvoice = {u"003712345671"_s, u"NDEAFIHH"_s};
    // As opened from its file: a due date not kept is counted from the terms.
    r.invoice = CompletedInvoice(r.invoice, {});
    return r;
}

// What a Finvoice states of the page, read back.
void compareFinvoice(const InvoiceRecord &r, const QByteArray &xml)
{
    const XmlValues v = readValues(xml);
    const InvoiceTotals totals = RecordTotals(r);
    const QString details = u"Finvoice/InvoiceDetails/"_s;
    QCOMPARE(v[details + u"InvoiceTotalVatExcludedAmount"_s], QStringList{finvoiceAmount(totals.withoutVat)});
    QCOMPARE(v[details + u"InvoiceTotalVatAmount"_s], QStringList{finvoiceAmount(totals.vat)});
    QCOMPARE(v[details + u"InvoiceTotalVatIncludedAmount"_s], QStringList{finvoiceAmount(totals.total)});
    QStringList rates, bases, vats;
    for (auto it = totals.rates.crbegin(); it != totals.rates.crend(); ++it) {
        const VatRateLine &line = *it;
        rates << line.rate;
        bases << finvoiceAmount(line.withoutVat);
        vats << finvoiceAmount(line.vat);
    }
    QCOMPARE(v[details + u"VatSpecificationDetails/VatRatePercent"_s], rates);
    QCOMPARE(v[details + u"VatSpecificationDetails/VatBaseAmount"_s], bases);
    QCOMPARE(v[details + u"VatSpecificationDetails/VatRateAmount"_s], vats);

    // The rows' amounts without VAT add up to each rate's base.
    QHash<QString, qint64> rowSums;
    const QStringList rowRates = v[u"Finvoice/InvoiceRow/RowVatRatePercent"_s];
    const QStringList rowNets = v[u"Finvoice/InvoiceRow/RowVatExcludedAmount"_s];
    QCOMPARE(rowRates.size(), rowNets.size());
    for (qsizetype i = 0; i < rowRates.size(); ++i)
        rowSums[rowRates[i]] += cents(rowNets[i]);
    for (const VatRateLine &line : totals.rates)
        QCOMPARE(rowSums.value(line.rate), cents(finvoiceAmount(line.withoutVat)));

    const QString due = plainDate(RecordDueDate(r), u"yyyyMMdd"_s);
    const QString reference = bare(r.invoice.header[ReferenceField]);
    const QString epi = u"Finvoice/EpiDetails/"_s;
    QCOMPARE(v[details + u"PaymentTermsDetails/InvoiceDueDate"_s], QStringList{due});
    QCOMPARE(v[epi + u"EpiPaymentInstructionDetails/EpiDateOptionDate"_s], QStringList{due});
    QCOMPARE(v[epi + u"EpiPaymentInstructionDetails/EpiInstructedAmount"_s], QStringList{finvoiceAmount(totals.total)});
    QCOMPARE(v[epi + u"EpiPaymentInstructionDetails/EpiRemittanceInfoIdentifier"_s], QStringList{reference});
    QCOMPARE(v[epi + u"EpiPaymentInstructionDetails/EpiRemittanceInfoIdentifier@IdentificationSchemeName"_s],
             QStringList{reference.startsWith(u"RF"_s) ? u"ISO"_s : u"SPY"_s});
    QCOMPARE(v[epi + u"EpiPartyDetails/EpiBeneficiaryPartyDetails/EpiAccountID"_s],
             QStringList{QString(r.biller.iban).remove(u' ')});
    const QString barcode = RecordBankBarcode(r);
    QCOMPARE(v[u"Finvoice/VirtualBankBarcode"_s], barcode.isEmpty() ? QStringList() : QStringList{barcode});
}

// What a Peppol invoice states of the page, read back.
void comparePeppol(const InvoiceRecord &r, const QByteArray &xml)
{
    const XmlValues v = readValues(xml);
    const InvoiceTotals totals = RecordTotals(r);
    const QString money = u"Invoice/LegalMonetaryTotal/"_s;
    QCOMPARE(v[money + u"LineExtensionAmount"_s], QStringList{peppolAmount(totals.withoutVat)});
    QCOMPARE(v[money + u"TaxExclusiveAmount"_s], QStringList{peppolAmount(totals.withoutVat)});
    QCOMPARE(v[money + u"TaxInclusiveAmount"_s], QStringList{peppolAmount(totals.total)});
    QCOMPARE(v[money + u"PayableAmount"_s], QStringList{peppolAmount(totals.total)});
    QCOMPARE(v[u"Invoice/TaxTotal/TaxAmount"_s], QStringList{peppolAmount(totals.vat)});
    QStringList rates, bases, vats;
    for (const VatRateLine &line : totals.rates) {
        rates << QString(line.rate).replace(u',', u'.');
        bases << peppolAmount(line.withoutVat);
        vats << peppolAmount(line.vat);
    }
    QCOMPARE(v[u"Invoice/TaxTotal/TaxSubtotal/TaxCategory/Percent"_s], rates);
    QCOMPARE(v[u"Invoice/TaxTotal/TaxSubtotal/TaxableAmount"_s], bases);
    QCOMPARE(v[u"Invoice/TaxTotal/TaxSubtotal/TaxAmount"_s], vats);

    QHash<QString, qint64> lineSums;
    const QStringList lineRates = v[u"Invoice/InvoiceLine/Item/ClassifiedTaxCategory/Percent"_s];
    const QStringList lineNets = v[u"Invoice/InvoiceLine/LineExtensionAmount"_s];
    QCOMPARE(lineRates.size(), lineNets.size());
    for (qsizetype i = 0; i < lineRates.size(); ++i)
        lineSums[lineRates[i]] += cents(lineNets[i]);
    for (qsizetype i = 0; i < rates.size(); ++i)
        QCOMPARE(lineSums.value(rates[i]), cents(bases[i]));

    QCOMPARE(v[u"Invoice/DueDate"_s], QStringList{plainDate(RecordDueDate(r), u"yyyy-MM-dd"_s)});
    QCOMPARE(v[u"Invoice/PaymentMeans/PaymentID"_s], QStringList{bare(r.invoice.header[ReferenceField])});
    QCOMPARE(v[u"Invoice/PaymentMeans/PayeeFinancialAccount/ID"_s], QStringList{QString(r.biller.iban).remove(u' ')});
}

// ---- the official checks, each run once over a folder of files

// Lines of a checker's output that report a failure.
QString failures(const ToolRun &result, const QString &passMark)
{
    QStringList lines;
    for (const QString &line : result.output.split(u'\n', Qt::SkipEmptyParts)) {
        if (!line.endsWith(passMark))
            lines << line;
    }
    return u"exit status %1\n"_s.arg(result.status) + lines.mid(0, 40).join(u'\n');
}

// xmllint against one schema over all the files in one run; empty when all pass.
QString schemaFailures(const QString &schema, const QStringList &files)
{
    const ToolRun result = run(u"xmllint"_s, QStringList{u"--noout"_s, u"--schema"_s, schema} + files);
    return result.status == 0 ? QString() : failures(result, u" validates"_s);
}

// The fatal failed asserts and the warnings of a Schematron report (SVRL).
void readReport(const QString &path, QStringList *fatal, QStringList *warnings)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *fatal << path + u": no report"_s;
        return;
    }
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != u"failed-assert")
            continue;
        const QString id = reader.attributes().value(u"id"_s).toString();
        const QString flag = reader.attributes().value(u"flag"_s).toString();
        QString text;
        while (!(reader.isEndElement() && reader.name() == u"failed-assert") && !reader.atEnd()) {
            reader.readNext();
            if (reader.isCharacters())
                text += reader.text();
        }
        const QString line = QFileInfo(path).fileName() + u": "_s + id + u" "_s + text.simplified().left(200);
        if (flag == u"warning")
            *warnings << line;
        else
            *fatal << line;
    }
}

// The EN 16931 and Peppol rules over every file of the folder: Saxon runs
// once per stylesheet, compiling it once for all the files (Debian's
// Saxon-HE cannot export a compiled stylesheet, which needs Saxon-EE).
QString ruleFailures(const QString &rulesDir, const QString &folder, const QString &reportsDir, QStringList *warnings)
{
    QStringList fatal;
    for (const QString &rules : {u"CEN-EN16931-UBL"_s, u"PEPPOL-EN16931-UBL"_s}) {
        const QString out = reportsDir + u'/' + rules;
        QDir().mkpath(out);
        const ToolRun result = run(u"java"_s, {u"-jar"_s, kSaxonJar, u"-s:"_s + folder, u"-o:"_s + out,
                                               u"-xsl:"_s + rulesDir + u'/' + rules + u".xslt"_s});
        if (result.status != 0)
            return rules + u" did not run: "_s + result.output.left(2000);
        const QStringList files = QDir(folder).entryList(QDir::Files);
        for (const QString &name : files)
            readReport(out + u'/' + name, &fatal, warnings);
    }
    return fatal.mid(0, 40).join(u'\n');
}

// The frame and the Finvoice document of a framed file.
std::pair<QByteArray, QByteArray> splitFrame(const QByteArray &file)
{
    const QByteArray end = "</SOAP-ENV:Envelope>";
    const qsizetype at = file.indexOf(end);
    if (at < 0)
        return {QByteArray(), file};
    return {file.left(at + end.size()), file.mid(at + end.size()).trimmed()};
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The sole trader's invoice of the worked Finvoice example, as the program
// holds it.
InvoiceRecord exampleRecord()
{
    InvoiceRecord r;
    r.invoice.header = {u"1001"_s, u"7.12.2026"_s, u"20260011"_s, u"2345678-0"_s, u"17"_s, YesNoText(false),
                        YesNoText(false), u"14 pv netto"_s, u"10,5 %"_s, u"7 pv"_s, u"21.12.2026"_s};
    r.invoice.customer = {u"Asiakas Oy"_s, u"Kauppakatu 10"_s, QString(), u"00100 Helsinki"_s};
    r.invoice.rows = {
        {QString(), u"Konsultointi"_s, u"3"_s, u"h"_s, u"80,00"_s, u"25,5"_s, QString()},
        {QString(), u"Lounastarjoilu"_s, u"2"_s, u"kpl"_s, u"12,50"_s, u"13,5"_s, QString()},
        {QString(), u"Aikakauslehti"_s, u"1"_s, u"kpl"_s, u"9,90"_s, u"10"_s, QString()},
        {QString(), u"Koulutus"_s, u"1"_s, u"kpl"_s, u"100,00"_s, u"0"_s, QString()},
    };
    r.biller.officialName = u"Esimerkki Tmi"_s;
    r.biller.address1 = u"Pajakatu 3"_s;
    r.biller.postOffice = u"33100 Tampere"_s;
    r.biller.phone = u"040 123 4567"_s;
    r.biller.homeTown = u"Tampere"_s;
    r.biller.businessId = u"1234567-1"_s;
    r.biller.vatId = u"FI12345671"_s;
    r.biller.iban = u"FI2112345600000785"_s;
    r.biller.bic = u"NDEAFIHH"_s;
    return r;
}

// A record every format takes: both parties have OVT codes and operators.
InvoiceRecord completeRecord()
{
    InvoiceRecord r = exampleRecord();
    r.invoice.header << u"003723456780"_s << u"003721291126"_s;
    r.biller.einvoice = {u"003712345671"_s, u"NDEAFIHH"_s};
    return r;
}

} // namespace

class EinvoiceTest : public QObject
{
    Q_OBJECT

private slots:
    void generatedInvoicesAreValidAndStateThePage();
    void refusals_data();
    void refusals();
    void workedFinvoiceExample();
    void creditNotesAreValidAndStateTheCredit();
    void finvoiceQuantitiesFitTheSchema();
};

void EinvoiceTest::generatedInvoicesAreValidAndStateThePage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &folder : {u"finvoice"_s, u"frames"_s, u"framed"_s, u"peppol"_s})
        QVERIFY(QDir(dir.path()).mkpath(folder));
    QStringList finvoices, frames, framedDocuments, peppols;
    QRandomGenerator random(20261207);
    for (int i = 0; i < kGeneratedInvoices; ++i) {
        const InvoiceRecord r = generatedRecord(i, random);
        const QString name = u"lasku-"_s + QString::number(i).rightJustified(3, u'0') + u".xml"_s;
        for (EinvoiceFormat format : {EinvoiceFormat::Finvoice, EinvoiceFormat::FramedFinvoice, EinvoiceFormat::Peppol})
            QVERIFY2(EinvoiceRefusal(r, format).isEmpty(), qPrintable(EinvoiceRefusal(r, format)));

        const QByteArray finvoice = WriteEinvoice(r, EinvoiceFormat::Finvoice, kSent);
        compareFinvoice(r, finvoice);
        if (QTest::currentTestFailed())
            qFatal("Finvoice %d does not state the page:\n%s", i, finvoice.constData());
        finvoices << dir.filePath(u"finvoice/"_s + name);
        writeFile(finvoices.last(), finvoice);

        if (i % 4 == 0) {
            const auto [frame, document] = splitFrame(WriteEinvoice(r, EinvoiceFormat::FramedFinvoice, kSent));
            QVERIFY(frame.contains("<eb:PartyId>003712345671</eb:PartyId>"));
            compareFinvoice(r, document);
            frames << dir.filePath(u"frames/"_s + name);
            writeFile(frames.last(), frame);
            framedDocuments << dir.filePath(u"framed/"_s + name);
            writeFile(framedDocuments.last(), document);
        }

        const QByteArray peppol = WriteEinvoice(r, EinvoiceFormat::Peppol, kSent);
        comparePeppol(r, peppol);
        if (QTest::currentTestFailed())
            qFatal("Peppol invoice %d does not state the page:\n%s", i, peppol.constData());
        peppols << dir.filePath(u"peppol/"_s + name);
        writeFile(peppols.last(), peppol);
    }

    const QString schemas = einvoiceDir();
    SCHEMAS_OR_SKIP(schemas);
    QString failed = schemaFailures(schemas + u"/Finvoice3.0.xsd"_s, finvoices + framedDocuments);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    failed = schemaFailures(schemas + u"/soap-frame/envelope.xsd"_s, frames);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    failed = schemaFailures(schemas + u"/peppol/ubl-2.1/xsdrt/maindoc/UBL-Invoice-2.1.xsd"_s, peppols);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QStringList warnings;
    failed = ruleFailures(schemas + u"/peppol/xslt"_s, dir.filePath(u"peppol"_s), dir.filePath(u"reports"_s), &warnings);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    if (!warnings.isEmpty())
        qInfo("%lld rule warnings, the first: %s", static_cast<long long>(warnings.size()),
              qPrintable(warnings.mid(0, 5).join(u'\n')));
}

void EinvoiceTest::refusals_data()
{
    QTest::addColumn<InvoiceRecord>("record");
    QTest::addColumn<EinvoiceFormat>("format");
    QTest::addColumn<QString>("message");

    const InvoiceRecord complete = completeRecord();
    QTest::newRow("complete: Finvoice") << complete << EinvoiceFormat::Finvoice << QString();
    QTest::newRow("complete: framed Finvoice") << complete << EinvoiceFormat::FramedFinvoice << QString();
    QTest::newRow("complete: Peppol") << complete << EinvoiceFormat::Peppol << QString();

    InvoiceRecord r = complete;
    r.invoice.customer[CustomerNameLine] = u"  "_s;
    QTest::newRow("no customer name") << r << EinvoiceFormat::Finvoice << u"Asiakkaan nimi puuttuu."_s;
    r = complete;
    r.biller.iban = u"FI21 1234 5600 0007 86"_s;
    QTest::newRow("IBAN check fails") << r << EinvoiceFormat::Peppol
                                      << u"Laskuttajan tilinumero (IBAN) ei ole kelvollinen."_s;
    r.biller.iban.clear();
    QTest::newRow("no IBAN") << r << EinvoiceFormat::Finvoice << u"Laskuttajan tilinumero (IBAN) ei ole kelvollinen."_s;
    r = complete;
    r.invoice.header[ReferenceField] = u"20260012"_s;
    QTest::newRow("national reference check fails") << r << EinvoiceFormat::Finvoice
                                                    << u"Viitenumeron tarkiste ei täsmää."_s;
    r.invoice.header[ReferenceField] = u"RF00 2026 0011"_s;
    QTest::newRow("RF reference check fails") << r << EinvoiceFormat::Peppol << u"Viitenumeron tarkiste ei täsmää."_s;
    r = complete;
    r.invoice.header[InvoiceDateField] = u"31.2.2026"_s;
    QTest::newRow("no invoice date") << r << EinvoiceFormat::Finvoice << u"Laskun päivämäärä ei ole kelvollinen."_s;
    r = complete;
    for (QStringList &row : r.invoice.rows)
        row[PriceColumn].clear();
    QTest::newRow("text rows only") << r << EinvoiceFormat::Finvoice
                                    << u"Laskulla ei ole yhtään riviä, jolla on määrä ja hinta."_s;
    r = complete;
    r.invoice.header[BuyerEinvoiceOperatorField].clear();
    QTest::newRow("framed: buyer's operator missing") << r << EinvoiceFormat::FramedFinvoice
                                                      << u"Asiakkaan verkkolaskuosoite tai välittäjätunnus puuttuu."_s;
    QTest::newRow("bare Finvoice needs no operator") << r << EinvoiceFormat::Finvoice << QString();
    r = complete;
    r.biller.einvoice = {};
    QTest::newRow("framed: biller's address missing")
            << r << EinvoiceFormat::FramedFinvoice << u"Laskuttajan verkkolaskuosoite tai välittäjätunnus puuttuu."_s;
    QTest::newRow("Peppol: biller's endpoint missing")
            << r << EinvoiceFormat::Peppol << u"Laskuttajan verkkolaskuosoite (OVT-tunnus tai Y-tunnus) puuttuu."_s;
    r = complete;
    r.invoice.header[BuyerEinvoiceAddressField] = u"FI2112345600000785"_s;
    QTest::newRow("Peppol: buyer's address is no OVT code, business ID or VAT ID")
            << r << EinvoiceFormat::Peppol << u"Asiakkaan verkkolaskuosoite (OVT-tunnus tai Y-tunnus) puuttuu."_s;
    r.invoice.header[BuyerEinvoiceAddressField] = u"2345678-0"_s;
    QTest::newRow("Peppol: business ID makes the buyer's OVT code") << r << EinvoiceFormat::Peppol << QString();
    r = complete;
    r.biller.vatId.clear();
    QTest::newRow("Peppol: VAT ID made from the business ID") << r << EinvoiceFormat::Peppol << QString();
    r.biller.businessId.clear();
    QTest::newRow("Peppol: neither business ID nor VAT ID") << r << EinvoiceFormat::Peppol
                                                            << u"Laskuttajan Y-tunnus puuttuu."_s;
    r = complete;
    r.invoice.customer[CustomerNameLine] = u" Ö "_s;
    const QString shortName = u"Asiakkaan nimessä on oltava Finvoice-laskussa vähintään 2 merkkiä."_s;
    QTest::newRow("Finvoice: customer name of one character") << r << EinvoiceFormat::Finvoice << shortName;
    QTest::newRow("framed: customer name of one character") << r << EinvoiceFormat::FramedFinvoice << shortName;
    QTest::newRow("Peppol takes a name of one character") << r << EinvoiceFormat::Peppol << QString();
    r.invoice.customer[CustomerNameLine] = u"Öy"_s;
    QTest::newRow("Finvoice: customer name of two characters") << r << EinvoiceFormat::Finvoice << QString();
    r = complete;
    r.biller.officialName = u"X"_s;
    QTest::newRow("Finvoice: biller's name of one character")
            << r << EinvoiceFormat::Finvoice
            << u"Laskuttajan virallisessa nimessä on oltava Finvoice-laskussa vähintään 2 merkkiä."_s;
    r = complete;
    r.invoice.rows[1][QuantityColumn] = u"1000000000000000"_s;
    r.invoice.rows[1][PriceColumn] = u"0,01"_s;
    QTest::newRow("Finvoice: quantity of 16 whole digits")
            << r << EinvoiceFormat::Finvoice << u"Rivin 2 määrä on liian suuri Finvoice-laskuun (enintään 14 merkkiä)."_s;
    QTest::newRow("Peppol takes a quantity of 16 whole digits") << r << EinvoiceFormat::Peppol << QString();
    r.invoice.rows[1][QuantityColumn] = u"-1234567890123"_s;
    QTest::newRow("Finvoice: a quantity of 14 characters") << r << EinvoiceFormat::Finvoice << QString();
    r = complete;
    r.invoice.customer[CustomerNameLine].clear();
    r.invoice.header[ReferenceField] = u"123"_s;
    r.invoice.header[BuyerEinvoiceAddressField].clear();
    QTest::newRow("several at once, one line each")
            << r << EinvoiceFormat::Peppol
            << u"Asiakkaan nimi puuttuu.\nViitenumeron tarkiste ei täsmää.\n"
               "Asiakkaan verkkolaskuosoite (OVT-tunnus tai Y-tunnus) puuttuu."_s;
}

void EinvoiceTest::refusals()
{
    QFETCH(InvoiceRecord, record);
    QFETCH(EinvoiceFormat, format);
    QFETCH(QString, message);
    QCOMPARE(EinvoiceRefusal(record, format), message);
    // A refused record is not written at all; one taken is.
    QCOMPARE(WriteEinvoice(record, format, kSent).isEmpty(), !message.isEmpty());
}

void EinvoiceTest::workedFinvoiceExample()
{
    QFile exampleFile(QStringLiteral(LASKUTUS_TEST_DATA) + u"/finvoice-esimerkki.xml"_s);
    QVERIFY(exampleFile.open(QIODevice::ReadOnly));
    const QByteArray example = exampleFile.readAll();
    const QByteArray ours = WriteEinvoice(exampleRecord(), EinvoiceFormat::Finvoice, kSent);

    // Where the program's Finvoice says something else than the example: the
    // program keeps no e-mail address for the biller and no reason for a
    // 0 % rate beyond its being untaxed, and it states the penalty interest
    // as the invoice gives it.
    const QString vat = u"Finvoice/InvoiceDetails/VatSpecificationDetails/VatFreeText="_s;
    const QString fine = u"Finvoice/InvoiceDetails/PaymentTermsDetails/PaymentOverDueFineDetails/PaymentOverDueFineFreeText="_s;
    const QStringList onlyInExample = {
        u"Finvoice/SellerCommunicationDetails/SellerEmailaddressIdentifier=laskut@esimerkki.example"_s,
        vat + u"Arvonlisäveroton koulutuspalvelu (AVL 39 §)"_s,
        fine + u"Viivästyskorko korkolain mukaan"_s,
    };
    const QStringList onlyInOurs = {vat + kZeroVatReasonText, fine + u"Viivästyskorko 10,5 %"_s};

    QStringList expected = flattened(example);
    QStringList written = flattened(ours);
    for (const QString &line : onlyInExample)
        QVERIFY2(expected.removeOne(line), qPrintable(line));
    for (const QString &line : onlyInOurs)
        QVERIFY2(written.removeOne(line), qPrintable(line));
    QCOMPARE(written, expected);

    const QString schemas = einvoiceDir();
    SCHEMAS_OR_SKIP(schemas);
    QTemporaryDir dir;
    writeFile(dir.filePath(u"esimerkki.xml"_s), ours);
    const QString failed = schemaFailures(schemas + u"/Finvoice3.0.xsd"_s, {dir.filePath(u"esimerkki.xml"_s)});
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
}

QTEST_APPLESS_MAIN(EinvoiceTest)

// Credit notes of whole invoices and of some rows, with prices without and
// with VAT: Finvoice INV02 naming the original, UBL CreditNote referring to
// it with the page's amounts as positive ones, no payment instructions; all
// valid against the schemas and the rules.
void EinvoiceTest::creditNotesAreValidAndStateTheCredit()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &folder : {u"finvoice"_s, u"peppol"_s})
        QVERIFY(QDir(dir.path()).mkpath(folder));
    QStringList finvoices, peppols;
    const QStringList fresh = {u"1002"_s, u"9.12.2026"_s, u"20260024"_s};
    for (int variant = 0; variant < 4; ++variant) {
        InvoiceRecord original = completeRecord();
        if (variant % 2 == 1)
            original.invoice.header[UnitPricesWithVatField] = YesNoText(true);
        InvoiceRecord credit{CreditNoteOf(original.invoice, fresh), original.biller};
        if (variant >= 2)
            credit.invoice.rows.removeAt(2);
        const InvoiceTotals totals = RecordTotals(credit);
        QVERIFY(AmountCents(totals.total) < 0);
        QCOMPARE(RecordBankBarcode(credit), QString());
        QVERIFY(!RecordEpcQrText(credit));
        QCOMPARE(EinvoiceRefusal(credit, EinvoiceFormat::Finvoice), QString());
        QCOMPARE(EinvoiceRefusal(credit, EinvoiceFormat::Peppol), QString());
        const QString name = u"hyvitys-%1.xml"_s.arg(variant);

        const QByteArray finvoice = WriteEinvoice(credit, EinvoiceFormat::Finvoice, kSent);
        XmlValues v = readValues(finvoice);
        const QString details = u"Finvoice/InvoiceDetails/"_s;
        QCOMPARE(v[details + u"InvoiceTypeCode"_s], QStringList{u"INV02"_s});
        QCOMPARE(v[details + u"InvoiceTypeCodeUN"_s], QStringList{u"381"_s});
        QCOMPARE(v[details + u"InvoiceTypeText"_s], QStringList{u"HYVITYSLASKU"_s});
        QCOMPARE(v[details + u"OriginalInvoiceNumber"_s], QStringList{u"1001"_s});
        QCOMPARE(v[details + u"InvoiceTotalVatIncludedAmount"_s], QStringList{finvoiceAmount(totals.total)});
        const QString instruction = u"Finvoice/EpiDetails/EpiPaymentInstructionDetails/"_s;
        QVERIFY(!v.contains(instruction + u"EpiRemittanceInfoIdentifier"_s));
        QVERIFY(!v.contains(instruction + u"EpiPaymentMeansCode"_s));
        finvoices << dir.filePath(u"finvoice/"_s + name);
        writeFile(finvoices.last(), finvoice);

        const QByteArray peppol = WriteEinvoice(credit, EinvoiceFormat::Peppol, kSent);
        v = readValues(peppol);
        QCOMPARE(v[u"CreditNote/CreditNoteTypeCode"_s], QStringList{u"381"_s});
        QCOMPARE(v[u"CreditNote/BillingReference/InvoiceDocumentReference/ID"_s], QStringList{u"1001"_s});
        const auto positive = [](const QString &page) { return peppolAmount(page).remove(u'-'); };
        QCOMPARE(v[u"CreditNote/LegalMonetaryTotal/PayableAmount"_s], QStringList{positive(totals.total)});
        QCOMPARE(v[u"CreditNote/LegalMonetaryTotal/TaxExclusiveAmount"_s], QStringList{positive(totals.withoutVat)});
        QCOMPARE(v[u"CreditNote/TaxTotal/TaxAmount"_s], QStringList{positive(totals.vat)});
        QCOMPARE(v[u"CreditNote/CreditNoteLine/CreditedQuantity"_s].size(), credit.invoice.rows.size() - 1);
        QVERIFY(!v.contains(u"CreditNote/PaymentMeans/PaymentMeansCode"_s));
        QVERIFY(!v.contains(u"CreditNote/DueDate"_s));
        peppols << dir.filePath(u"peppol/"_s + name);
        writeFile(peppols.last(), peppol);
    }

    const QString schemas = einvoiceDir();
    SCHEMAS_OR_SKIP(schemas);
    QString failed = schemaFailures(schemas + u"/Finvoice3.0.xsd"_s, finvoices);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    failed = schemaFailures(schemas + u"/peppol/ubl-2.1/xsdrt/maindoc/UBL-CreditNote-2.1.xsd"_s, peppols);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QStringList warnings;
    failed = ruleFailures(schemas + u"/peppol/xslt"_s, dir.filePath(u"peppol"_s), dir.filePath(u"reports"_s), &warnings);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
}

// A quantity typed with more decimals than the schema's 14 characters hold
// is written rounded to those that fit; a two-character name is written as
// it is. The files pass the schema, bare and framed.
void EinvoiceTest::finvoiceQuantitiesFitTheSchema()
{
    InvoiceRecord r = completeRecord();
    r.invoice.customer[CustomerNameLine] = u"Öy"_s;
    r.invoice.rows[0][QuantityColumn] = u"0,333333333333333"_s;
    r.invoice.rows[1][QuantityColumn] = u"123456789,12349"_s;
    r.invoice.rows[1][PriceColumn] = u"0,01"_s;
    r.invoice.rows[2][QuantityColumn] = u"99999999999,999"_s;
    r.invoice.rows[2][PriceColumn] = u"0,01"_s;
    QCOMPARE(EinvoiceRefusal(r, EinvoiceFormat::Finvoice), QString());
    const QByteArray bare = WriteEinvoice(r, EinvoiceFormat::Finvoice, kSent);
    const XmlValues v = readValues(bare);
    QCOMPARE(v[u"Finvoice/InvoiceRow/InvoicedQuantity"_s],
             (QStringList{u"0,333333333333"_s, u"123456789,1235"_s, u"100000000000"_s, u"1"_s}));
    QCOMPARE(v[u"Finvoice/BuyerPartyDetails/BuyerOrganisationName"_s], QStringList{u"Öy"_s});
    // The amounts are the page's, counted from the quantities as typed.
    QCOMPARE(v[u"Finvoice/InvoiceDetails/InvoiceTotalVatIncludedAmount"_s],
             QStringList{finvoiceAmount(RecordTotals(r).total)});

    const QString schemas = einvoiceDir();
    SCHEMAS_OR_SKIP(schemas);
    QTemporaryDir dir;
    const QString bareFile = dir.filePath(u"paljas.xml"_s);
    const QString framedFile = dir.filePath(u"kehys.xml"_s);
    writeFile(bareFile, bare);
    writeFile(framedFile, WriteEinvoice(r, EinvoiceFormat::FramedFinvoice, kSent));
    const ToolRun check = run(u"sh"_s, {schemas + u"/validate-finvoice.sh"_s, bareFile, framedFile});
    QVERIFY2(check.status == 0, qPrintable(check.output));
}

#include "tst_einvoice.moc"
