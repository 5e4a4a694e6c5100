// E-invoices as a user gets them: "Tiedosto" → "Verkkolasku…", beside the
// invoice file from "VALMIS/TALLENNA", and `laskutus --finvoice/--peppol` of
// saved files, each read back and compared with the PDF of the same invoice.

#include "invoice/numbering.h"
#include "storage/cp1252.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {

const QString kBiller = u"[Laskuttaja]\r\nNimi=Testi Oy\r\nOsoite1=Pajakatu 3\r\nKaupunki=33100 TAMPERE\r\n"
                        u"Y-yunnus=1234567-1\r\nAlv-tunnus=FI12345671\r\nIban=FI21 1234 5600 0007 85\r\n"
                        u"Bic=NDEAFIHH\r\nViivakoodi=1\r\nPdfOletus=1\r\n"_s;
const QString kBillerAddress = u"Verkkolaskuosoite=003712345671\r\nValittajatunnus=NDEAFIHH\r\n"_s;

// The text of every element that holds one, by the element's local name,
// in document order.
QMap<QString, QStringList> elementTexts(const QByteArray &xml)
{
    QMap<QString, QStringList> texts;
    QXmlStreamReader reader(xml);
    QString text;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            text.clear();
            break;
        case QXmlStreamReader::Characters:
            text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            if (!text.trimmed().isEmpty())
                texts[reader.name().toString()].append(text);
            text.clear();
            break;
        default:
            break;
        }
    }
    return texts;
}

QString rootOf(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            return reader.qualifiedName().toString();
    }
    return QString();
}

// The folder of the official schemas the tests were pointed at; empty when none.
QString schemaFolder()
{
    const QString dir = qEnvironmentVariable("LASKUTUS_EINVOICE_DIR");
    return !dir.isEmpty() && QFileInfo::exists(dir + u"/Finvoice3.0.xsd"_s) ? dir : QString();
}

// Without the schemas a file is not checked, except under CI, where every
// check must run: there it is a failure.
QString noSchemas()
{
    return RunningUnderCi() ? u"No e-invoice schemas under CI: set LASKUTUS_EINVOICE_DIR to the folder "
                              "holding Finvoice3.0.xsd."_s
                            : QString();
}

// The schema's verdict on the file; empty when valid, or not checked.
QString schemaErrors(const QString &file, const QString &schema)
{
    const QString dir = schemaFolder();
    if (dir.isEmpty())
        return noSchemas();
    QProcess xmllint;
    xmllint.setProcessChannelMode(QProcess::MergedChannels);
    xmllint.start(u"xmllint"_s, {u"--noout"_s, u"--schema"_s, dir + u'/' + schema, file});
    xmllint.waitForFinished(60000);
    return xmllint.exitCode() == 0 ? QString() : QString::fromLocal8Bit(xmllint.readAll());
}

// The verdict of the schema folder's own Finvoice check on a bare or framed
// file (the frame against the SOAP envelope, the document after it against
// Finvoice 3.0); empty when valid, or not checked.
QString finvoiceCheckErrors(const QString &file)
{
    const QString dir = schemaFolder();
    if (dir.isEmpty())
        return noSchemas();
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(u"sh"_s, {dir + u"/validate-finvoice.sh"_s, file});
    check.waitForFinished(60000);
    return check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0 ? QString()
                                                                               : QString::fromLocal8Bit(check.readAll());
}

const QString kFinvoiceSchema = u"Finvoice3.0.xsd"_s;
const QString kUblSchema = u"peppol/ubl-2.1/xsdrt/maindoc/UBL-Invoice-2.1.xsd"_s;

struct ProgramRun
{
    int status = -1;
    QString errors;
};

ProgramRun runProgram(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QT_QPA_PLATFORM"_s);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

// A saved invoice of the program's own format: number, date, reference,
// VAT modes, the rows as "quantity;price;VAT %", and the buyer's e-invoice
// address when given.
QByteArray invoiceFile(int number, const QString &reference, bool pricesWithVat, bool totalsWithVat,
                       const QStringList &rows, const QString &buyerAddress)
{
    QString text = u"\"%1\",\"3.12.2026\",\"%2\",\"2345678-0\",\"%1\",\"%3\",\"%4\",\"14 pv netto\",\"8 %\","
                   u"\"7 pv\",\"17.12.2026\""_s.arg(number)
                       .arg(reference, pricesWithVat ? u"1"_s : u"0"_s, totalsWithVat ? u"1"_s : u"0"_s);
    if (!buyerAddress.isEmpty())
        text += u",\"%1\",\"003721291126\""_s.arg(buyerAddress);
    text += u"\r\n\"Äyräpää & \"\"Poika\"\" <Oy>\",\"Kauppakatu 10\",\" \",\"00100 HELSINKI\"\r\n"_s;
    for (const QString &row : rows) {
        const QStringList cells = row.split(u';');
        text += u"\" \",\"Työ € ja <tarvikkeet>\",\"%1\",h,\"%2\",\"%3\",\" \"\r\n"_s.arg(cells[0], cells[1], cells[2]);
    }
    return stringToCp1252(text);
}

} // namespace

class EinvoiceOutputTest : public QObject
{
    Q_OBJECT

private slots:
    void commandLineStatesWhatThePdfPrints_data();
    void commandLineStatesWhatThePdfPrints();
    void commandLineReportsWhatIsMissing();
    void menuWritesTheChosenFormat_data();
    void menuWritesTheChosenFormat();
    void saveChainWritesTheBillersFormatBeside_data();
    void saveChainWritesTheBillersFormatBeside();
    void typedExampleGivesTheWorkedFinvoice();
    void pageShowsTheCustomersEinvoiceAddress();
    void reprintKeepsTheBillerItWasIssuedWith();
};

void EinvoiceOutputTest::commandLineStatesWhatThePdfPrints_data()
{
    QTest::addColumn<bool>("pricesWithVat");
    QTest::addColumn<bool>("totalsWithVat");
    QTest::newRow("prices and totals without VAT") << false << false;
    QTest::newRow("totals with VAT") << false << true;
    QTest::newRow("prices with VAT") << true << true;
    QTest::newRow("prices with VAT, biller's totals without") << true << false;
}

// Saved invoices exported three ways: the Finvoice and Peppol files state
// the amount, reference and due date the PDF's barcode carries, and the
// totals the page prints.
void EinvoiceOutputTest::commandLineStatesWhatThePdfPrints()
{
    QFETCH(bool, pricesWithVat);
    QFETCH(bool, totalsWithVat);
    QTemporaryDir dir;
    const QString program = dir.filePath(u"laskutus"_s);
    QVERIFY(QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program));
    writeBytes(dir.filePath(u"laskutus.INI"_s), stringToCp1252(kBiller + kBillerAddress));
    QDir(dir.path()).mkpath(u"2026"_s);
    QRandomGenerator random(quint32(pricesWithVat) * 2 + quint32(totalsWithVat) + 11);
    const QStringList rates = {u"25,5"_s, u"14"_s, u"13,5"_s, u"10"_s, u"0"_s};
    QStringList inputs;
    QStringList references;
    for (int n = 1; n <= 3; ++n) {
        QStringList rows;
        // Rows that fit on the page, so the giro form is on its first page.
        for (int r = 0, count = n == 3 ? 8 : n; r < count; ++r)
            rows << u"%1;%2,%3;%4"_s.arg(random.bounded(1, 9)).arg(random.bounded(1, 900))
                        .arg(random.bounded(0, 100), 2, 10, QChar(u'0')).arg(rates[random.bounded(rates.size())]);
        const QString reference = n == 2 ? RfReference(u"1009"_s) : u"1009"_s;
        references << QString(reference).remove(u' ');
        const QString path = dir.filePath(u"2026/%1.csv"_s.arg(n));
        writeBytes(path, invoiceFile(n, reference, pricesWithVat, totalsWithVat, rows, u"003723456780"_s));
        inputs << path;
    }
    for (const QString &kind : {u"pdf"_s, u"finvoice"_s, u"peppol"_s}) {
        const ProgramRun run = runProgram(program, QStringList{u"--"_s + kind, dir.filePath(kind)} + inputs);
        QVERIFY2(run.status == 0, qPrintable(run.errors));
    }

    for (int n = 1; n <= 3; ++n) {
        const QString pdf = dir.filePath(u"pdf/%1.pdf"_s.arg(n));
        const QString barcode = codeOnPage(pdf, dir.path(), 300, u"code128"_s);
        QVERIFY2(barcode.size() == 54, qPrintable(pdf));
        const QString euros = QString::number(barcode.mid(17, 6).toInt());
        const QString cents = barcode.mid(23, 2);
        const QString page = toolOutput(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});

        const QString finvoiceFile = dir.filePath(u"finvoice/%1.xml"_s.arg(n));
        QCOMPARE(schemaErrors(finvoiceFile, kFinvoiceSchema), QString());
        const QMap<QString, QStringList> finvoice = elementTexts(readBytes(finvoiceFile));
        QCOMPARE(finvoice.value(u"EpiInstructedAmount"_s).value(0), euros + u',' + cents);
        QCOMPARE(finvoice.value(u"InvoiceTotalVatIncludedAmount"_s).value(0), euros + u',' + cents);
        QCOMPARE(finvoice.value(u"EpiDateOptionDate"_s).value(0), u"20"_s + barcode.right(6));
        QCOMPARE(finvoice.value(u"InvoiceDueDate"_s).value(0), u"20261217"_s);
        QCOMPARE(finvoice.value(u"EpiAccountID"_s).value(0), u"FI2112345600000785"_s);
        QCOMPARE(finvoice.value(u"EpiRemittanceInfoIdentifier"_s).value(0), references[n - 1]);
        // The totals without VAT and of VAT as the page prints them.
        for (const QString &name : {u"InvoiceTotalVatExcludedAmount"_s, u"InvoiceTotalVatAmount"_s}) {
            const QString amount = finvoice.value(name).value(0);
            QVERIFY2(QString(page).remove(u' ').contains(amount), qPrintable(name + u' ' + amount));
        }

        const QString peppolFile = dir.filePath(u"peppol/%1.xml"_s.arg(n));
        QCOMPARE(schemaErrors(peppolFile, kUblSchema), QString());
        const QMap<QString, QStringList> peppol = elementTexts(readBytes(peppolFile));
        QCOMPARE(peppol.value(u"PayableAmount"_s).value(0), euros + u'.' + cents);
        QCOMPARE(peppol.value(u"DueDate"_s).value(0), u"2026-12-17"_s);
        QCOMPARE(peppol.value(u"PaymentID"_s).value(0), finvoice.value(u"EpiRemittanceInfoIdentifier"_s).value(0));
        QCOMPARE(peppol.value(u"TaxExclusiveAmount"_s).value(0).replace(u'.', u','),
                 finvoice.value(u"InvoiceTotalVatExcludedAmount"_s).value(0));
    }
}

// What a receiver would reject is reported with the invoice's path and what
// it lacks; the other invoices are written. An invoice saved before the
// buyer's e-invoice address was kept takes it from its save folder's
// register; a file that is no e-invoice is never written over.
void EinvoiceOutputTest::commandLineReportsWhatIsMissing()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(u"laskutus"_s);
    QVERIFY(QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program));
    writeBytes(dir.filePath(u"laskutus.INI"_s), stringToCp1252(kBiller + kBillerAddress));
    QDir(dir.path()).mkpath(u"2026"_s);
    const QStringList rows = {u"2;50,00;25,5"_s};
    const QString unknown = dir.filePath(u"2026/1.csv"_s);
    const QString registered = dir.filePath(u"2026/2.csv"_s);
    writeBytes(unknown, invoiceFile(1, u"1009"_s, false, false, rows, QString()));
    writeBytes(registered, invoiceFile(2, u"1009"_s, false, false, rows, QString()));
    writeBytes(dir.filePath(u"AsiakRek.csv"_s),
               "Asiakas,Katu,\" \",\" \",\" \",2,003723456780,003721291126\r\n");

    const ProgramRun run = runProgram(program, {u"--peppol"_s, dir.filePath(u"ulos"_s), unknown, registered});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.errors.contains(u"Virhe: %1: Verkkolaskua ei kirjoitettu: Asiakkaan verkkolaskuosoite"_s
                                     .arg(QDir::toNativeSeparators(unknown))),
             qPrintable(run.errors));
    QVERIFY(!QFile::exists(dir.filePath(u"ulos/1.xml"_s)));
    const QMap<QString, QStringList> peppol = elementTexts(readBytes(dir.filePath(u"ulos/2.xml"_s)));
    QCOMPARE(peppol.value(u"EndpointID"_s), (QStringList{u"003712345671"_s, u"003723456780"_s}));

    const QString note = dir.filePath(u"muistio.xml"_s);
    writeBytes(note, "Soita asiakkaalle\r\n");
    const ProgramRun refused = runProgram(program, {u"--finvoice"_s, note, registered});
    QCOMPARE(refused.status, 2);
    QVERIFY2(refused.errors.contains(u"eikä se ole verkkolaskutiedosto; sitä ei korvata"_s), qPrintable(refused.errors));
    QCOMPARE(readBytes(note), QByteArray("Soita asiakkaalle\r\n"));
}

void EinvoiceOutputTest::menuWritesTheChosenFormat_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("schema");
    QTest::newRow("Finvoice") << 0 << u"Finvoice"_s << kFinvoiceSchema;
    QTest::newRow("framed Finvoice") << 1 << u"SOAP-ENV:Envelope"_s << QString();
    QTest::newRow("Peppol") << 2 << u"Invoice"_s << kUblSchema;
}

// "Verkkolasku…" writes the invoice on screen in the format of the filter
// chosen in the save dialog, with the totals the page shows.
void EinvoiceOutputTest::menuWritesTheChosenFormat()
{
    QFETCH(int, filter);
    QFETCH(QString, root);
    QFETCH(QString, schema);
    QTemporaryDir dir;
    FormFixture f(stringToCp1252(kBiller + kBillerAddress));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.AsiakNimi1->setEditText(u"Asiakas Oy"_s);
    form.BuyerEinvoice = {u"003723456780"_s, u"003721291126"_s};
    typeIntoGrid(form.LaskuRivit1, TextColumn, 1, u"Työ"_s);
    typeIntoGrid(form.LaskuRivit1, QuantityColumn, 1, u"3"_s);
    typeIntoGrid(form.LaskuRivit1, PriceColumn, 1, u"40,00"_s);
    typeIntoGrid(form.LaskuRivit1, VatColumn, 1, u"14"_s);

    const QString file = dir.filePath(u"lasku"_s);
    f.prompter().answerSave(file, filter);
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Verkkolasku…"_s});
    QCOMPARE(f.prompter().takeMessages(), QStringList());
    const QByteArray xml = readBytes(file + u".xml"_s);
    QCOMPARE(rootOf(xml), root);
    QCOMPARE(form.TotSum->text(), u"136,80"_s);
    QVERIFY(xml.contains(filter == 2 ? "136.80" : "136,80"));
    if (!schema.isEmpty())
        QCOMPARE(schemaErrors(file + u".xml"_s, schema), QString());
    // A Finvoice, framed or not, passes the schema folder's own check, which
    // splits a framed file where the frame ends: the document's declaration
    // opens the next line, as in the banks' framed files.
    if (filter != 2)
        QCOMPARE(finvoiceCheckErrors(file + u".xml"_s), QString());
    if (filter == 1)
        QVERIFY2(xml.contains("</SOAP-ENV:Envelope>\n<?xml version=\"1.0\""), xml.constData());
    QCOMPARE(form.TallennusTila1->text(), u"Verkkolasku tallennettu: "_s + QDir::toNativeSeparators(file + u".xml"_s));
}

void EinvoiceOutputTest::saveChainWritesTheBillersFormatBeside_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("buyer");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("message");
    QTest::newRow("Finvoice to a customer with an address") << kBillerAddress << u"003723456780"_s << u"Finvoice"_s
                                                            << QString();
    QTest::newRow("framed Finvoice chosen in the biller details") << kBillerAddress + u"Verkkolaskumuoto=1\r\n"_s
                                                                  << u"003723456780"_s << u"SOAP-ENV:Envelope"_s
                                                                  << QString();
    QTest::newRow("Peppol chosen in the biller details") << kBillerAddress + u"Verkkolaskumuoto=2\r\n"_s
                                                         << u"003723456780"_s << u"Invoice"_s << QString();
    QTest::newRow("no address: paper only") << kBillerAddress << QString() << QString() << QString();
    QTest::newRow("refused: saved, not sent, not advanced")
        << u"Verkkolaskumuoto=2\r\n"_s << u"003723456780"_s << QString()
        << u"Verkkolaskua ei kirjoitettu:\r\nLaskuttajan verkkolaskuosoite (OVT-tunnus tai Y-tunnus) puuttuu."_s;
}

// "VALMIS/TALLENNA" of an invoice to a customer with an e-invoice address
// also writes it, in the biller's format, as "<year>/<number>.xml"; an
// e-invoice refused leaves the invoice saved and on screen.
void EinvoiceOutputTest::saveChainWritesTheBillersFormatBeside()
{
    QFETCH(QString, settings);
    QFETCH(QString, buyer);
    QFETCH(QString, root);
    QFETCH(QString, message);
    QTemporaryDir data;
    FormFixture f(stringToCp1252(u"[File]\r\nOletDir="_s + data.path() + u"/\r\n"_s + kBiller + settings
                                 + u"SeurLasku=57\r\n"_s));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.AsiakNimi1->setEditText(u"Asiakas Oy"_s);
    form.BuyerEinvoice = {buyer, buyer.isEmpty() ? QString() : u"003721291126"_s};
    typeIntoGrid(form.LaskuRivit1, TextColumn, 1, u"Työ"_s);
    typeIntoGrid(form.LaskuRivit1, QuantityColumn, 1, u"2"_s);
    typeIntoGrid(form.LaskuRivit1, PriceColumn, 1, u"50,00"_s);
    typeIntoGrid(form.LaskuRivit1, VatColumn, 1, u"25,5"_s);
    if (message.isEmpty())
        f.prompter().answerSave(data.filePath(u"57.pdf"_s));
    QTest::mouseClick(form.Valmis1, Qt::LeftButton);

    QCOMPARE(f.prompter().takeMessages(), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(QFile::exists(data.filePath(u"2026/57.csv"_s)));
    const QString xml = data.filePath(u"2026/57.xml"_s);
    QCOMPARE(QFile::exists(xml), !root.isEmpty());
    if (!root.isEmpty())
        QCOMPARE(rootOf(readBytes(xml)), root);
    if (root != u"Invoice" && !root.isEmpty())
        QCOMPARE(finvoiceCheckErrors(xml), QString());
    QCOMPARE(form.LaskuNro1->text(), message.isEmpty() ? u"58"_s : u"57"_s);
    // The status bar names every file the save wrote, the invoice file first.
    QStringList written{data.filePath(u"2026/57.csv"_s)};
    if (!root.isEmpty())
        written << xml;
    if (message.isEmpty())
        written << data.filePath(u"57.pdf"_s);
    for (QString &path : written)
        path = QDir::toNativeSeparators(path);
    QCOMPARE(form.TallennusTila1->text(), u"Lasku 57 tallennettu: "_s + written.join(u", "_s));
}

// The worked Finvoice example typed into the window as a sole trader would:
// the file written says what the example says, but for what the program
// does not keep (the biller's e-mail, a reason for the 0 % rate beyond its
// being untaxed) and the penalty interest stated as the invoice gives it.
void EinvoiceOutputTest::typedExampleGivesTheWorkedFinvoice()
{
    QTemporaryDir dir;
    FormFixture f(stringToCp1252(u"[Laskuttaja]\r\nNimi=Esimerkki Tmi\r\nOsoite1=Pajakatu 3\r\n"
                                 u"Kaupunki=33100 Tampere\r\nPuhelin=040 123 4567\r\nKotipaikka=Tampere\r\n"
                                 u"Y-yunnus=1234567-1\r\nAlv-tunnus=FI12345671\r\nIban=FI2112345600000785\r\n"
                                 u"Bic=NDEAFIHH\r\nSeurLasku=1001\r\nSeurViite=2026001\r\nMaksuehto=14 pv netto\r\n"
                                 u"Viiv.korko=10,5 %\r\nHuom.aika=7 pv\r\n"_s));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.AsiakNimi1->setFocus();
    typeKeys(u"Asiakas Oy"_s);
    typeIntoGrid(form.AsiakOsoite1, 1, 1, u"Kauppakatu 10"_s);
    typeIntoGrid(form.AsiakOsoite1, 1, 3, u"00100 Helsinki"_s);
    form.AsiakY1->setFocus();
    typeKeys(u"2345678-0"_s);
    form.AsiakNro1->setFocus();
    typeKeys(u"17"_s);
    const QStringList rows[] = {{u"Konsultointi"_s, u"3"_s, u"h"_s, u"80,00"_s, u"25,5"_s},
                                {u"Lounastarjoilu"_s, u"2"_s, u"kpl"_s, u"12,50"_s, u"13,5"_s},
                                {u"Aikakauslehti"_s, u"1"_s, u"kpl"_s, u"9,90"_s, u"10"_s},
                                {u"Koulutus"_s, u"1"_s, u"kpl"_s, u"100,00"_s, u"0"_s}};
    for (int r = 0; r < 4; ++r) {
        for (int c = TextColumn; c <= VatColumn; ++c)
            typeIntoGrid(form.LaskuRivit1, c, r + 1, rows[r][c - TextColumn]);
    }
    QCOMPARE(form.ViiteNro1->text(), u"20260011"_s);

    const QString file = dir.filePath(u"esimerkki.xml"_s);
    f.prompter().answerSave(file, 0);
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Verkkolasku…"_s});
    QCOMPARE(f.prompter().takeMessages(), QStringList());
    QMap<QString, QStringList> written = elementTexts(readBytes(file));
    QMap<QString, QStringList> example =
        elementTexts(readBytes(QStringLiteral(LASKUTUS_TEST_DATA) + u"/finvoice-esimerkki.xml"_s));
    QCOMPARE(example.take(u"SellerEmailaddressIdentifier"_s), QStringList{u"laskut@esimerkki.example"_s});
    QCOMPARE(example.take(u"VatFreeText"_s), QStringList{u"Arvonlisäveroton koulutuspalvelu (AVL 39 §)"_s});
    QCOMPARE(written.take(u"VatFreeText"_s), QStringList{u"Arvonlisäveroton myynti"_s});
    QCOMPARE(example.take(u"PaymentOverDueFineFreeText"_s), QStringList{u"Viivästyskorko korkolain mukaan"_s});
    QCOMPARE(written.take(u"PaymentOverDueFineFreeText"_s), QStringList{u"Viivästyskorko 10,5 %"_s});
    QCOMPARE(written.keys(), example.keys());
    for (auto it = example.cbegin(); it != example.cend(); ++it)
        QCOMPARE(written.value(it.key()), it.value());
}

// The page says, without printing it, that the customer has an e-invoice
// address: for an opened invoice that keeps one and for a customer chosen
// from the register with one; a new invoice and another customer say nothing.
void EinvoiceOutputTest::pageShowsTheCustomersEinvoiceAddress()
{
    QTemporaryDir data;
    QVERIFY(QDir(data.path()).mkpath(u"2026"_s));
    const QString saved = data.filePath(u"2026/5.csv"_s);
    writeBytes(saved, invoiceFile(5, u"1009"_s, false, false, {u"2;50,00;25,5"_s}, u"003723456780"_s));
    writeBytes(data.filePath(u"AsiakRek.csv"_s),
               "\"Verkko Oy\",\"Katu 1\",\" \",\" \",\" \",2,003745678907,003721291126\r\n"
               "\"Paperi Oy\",\"Katu 2\",\" \",\" \",\" \",3\r\n");
    FormFixture f(stringToCp1252(u"[File]\r\nOletDir="_s + data.path() + u"/\r\n"_s + kBiller));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    QVERIFY(!form.Verkkolaskuosoite2->isVisible());

    form.AsiakNimi1->setFocus();
    typeKeys(u"Verk"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Verkko Oy"_s);
    QVERIFY(form.Verkkolaskuosoite2->isVisible());
    QCOMPARE(form.Verkkolaskuosoite2->text(), u"Verkkolaskuosoite 003745678907, välittäjä 003721291126"_s);
    form.AsiakNimi1->lineEdit()->selectAll();
    typeKeys(u"Pape"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Paperi Oy"_s);
    QVERIFY(!form.Verkkolaskuosoite2->isVisible());

    f.prompter().answerOpen(saved);
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Nouda lasku"_s});
    QVERIFY(form.Verkkolaskuosoite2->isVisible());
    QCOMPARE(form.Verkkolaskuosoite2->text(), u"Verkkolaskuosoite 003723456780, välittäjä 003721291126"_s);
    // Not on paper.
    const QString pdf = data.filePath(u"5.pdf"_s);
    f.prompter().answerSave(pdf);
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Tulosta pdf"_s});
    const QString printed = toolOutput(u"pdftotext"_s, {pdf, u"-"_s});
    QVERIFY2(printed.contains(u"Kauppakatu 10"_s), qPrintable(printed));
    QVERIFY2(!printed.contains(u"003723456780"_s) && !printed.contains(u"Verkkolaskuosoite"_s), qPrintable(printed));

    QTest::mouseClick(form.Uusi1, Qt::LeftButton);
    QVERIFY(!form.Verkkolaskuosoite2->isVisible());
}

// An invoice keeps the biller it was issued with: after the name and IBAN
// changed in the biller details, its page opened with "Nouda lasku", its
// PDF, `--pdf`, `--finvoice` and `--peppol` carry the old ones, codes and
// all; a reminder, asking for payment now, carries the new. A file of the
// previous format keeps no biller and takes today's, as it always did.
void EinvoiceOutputTest::reprintKeepsTheBillerItWasIssuedWith()
{
    const QString oldIban = u"FI21 1234 5600 0007 85"_s;
    const QString newIban = u"FI75 4006 0010 0001 71"_s;
    QTemporaryDir data;
    FormFixture f(stringToCp1252(u"[File]\r\nOletDir="_s + data.path() + u"/\r\n"_s + kBiller + kBillerAddress
                                 + u"SeurLasku=57\r\nViitekorot=1.7.2026=2,0;1.1.2027=2,0\r\n"_s));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.AsiakNimi1->setEditText(u"Asiakas Oy"_s);
    form.BuyerEinvoice = {u"003723456780"_s, u"003721291126"_s};
    typeIntoGrid(form.LaskuRivit1, TextColumn, 1, u"Työ"_s);
    typeIntoGrid(form.LaskuRivit1, QuantityColumn, 1, u"2"_s);
    typeIntoGrid(form.LaskuRivit1, PriceColumn, 1, u"50,00"_s);
    typeIntoGrid(form.LaskuRivit1, VatColumn, 1, u"25,5"_s);
    f.prompter().answerSave(data.filePath(u"57.pdf"_s));
    QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    const QString saved = data.filePath(u"2026/57.csv"_s);
    QVERIFY(QFile::exists(saved));

    form.Laskuttajantiedot1Click();
    form.VirallNimi1->setText(u"Uusi Nimi Oy"_s);
    form.Iban1->setText(newIban);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QCOMPARE(form.Iban3->text(), newIban);

    f.prompter().answerOpen(saved);
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Nouda lasku"_s});
    QCOMPARE(form.VirallNimi2->text(), u"Testi Oy"_s);
    QCOMPARE(form.VirallNimi3->text(), u"Testi Oy"_s);
    QCOMPARE(form.Iban2->text(), oldIban);
    QCOMPARE(form.Iban3->text(), oldIban);
    // The biller details changed again while it is shown leave it as issued.
    form.Laskuttajantiedot1Click();
    form.Puhelin1->setText(u"040 1234567"_s);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QCOMPARE(form.Puhelin2->text(), u"040 1234567"_s);
    QCOMPARE(form.VirallNimi2->text(), u"Testi Oy"_s);
    QCOMPARE(form.Iban3->text(), oldIban);
    const QString reprint = data.filePath(u"uusintatuloste.pdf"_s);
    f.prompter().answerSave(reprint);
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Tulosta pdf"_s});

    const QString program = f.executablePath();
    QVERIFY(QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program));
    const QString previous = data.filePath(u"2026/60.csv"_s);
    QVERIFY(QFile::copy(QStringLiteral(LASKUTUS_TEST_DATA) + u"/edellinen-verkkolaskuosoite.csv"_s, previous));
    for (const QString &kind : {u"pdf"_s, u"finvoice"_s, u"peppol"_s}) {
        const ProgramRun run = runProgram(program, {u"--"_s + kind, data.filePath(kind), saved, previous});
        QVERIFY2(run.status == 0, qPrintable(run.errors));
    }
    // No window is made for an e-invoice: a platform with no display to
    // show one on does not stop it.
    QProcess windowless;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    windowless.setProcessEnvironment(environment);
    windowless.start(program, {u"--finvoice"_s, data.filePath(u"ilman-ikkunaa.xml"_s), saved});
    QVERIFY(windowless.waitForFinished(120000));
    QVERIFY2(windowless.exitStatus() == QProcess::NormalExit && windowless.exitCode() == 0,
             windowless.readAllStandardError().constData());
    QCOMPARE(readBytes(data.filePath(u"ilman-ikkunaa.xml"_s)).size() > 0, true);
    const QString reminder = data.filePath(u"muistutus.pdf"_s);
    const ProgramRun reminded = runProgram(program, {u"--reminder"_s, reminder, saved, u"--date"_s, u"5.1.2027"_s});
    QVERIFY2(reminded.status == 0, qPrintable(reminded.errors));

    // Each document: the biller's name and IBAN it shows, and the account
    // its bank barcode pays to.
    const auto digits = [](const QString &iban) { return QString(iban).remove(u' ').mid(2); };
    const struct {
        QString pdf;
        QString name;
        QString iban;
    } pages[] = {{reprint, u"Testi Oy"_s, oldIban},
                 {data.filePath(u"pdf/57.pdf"_s), u"Testi Oy"_s, oldIban},
                 {data.filePath(u"pdf/60.pdf"_s), u"Uusi Nimi Oy"_s, newIban},
                 {reminder, u"Uusi Nimi Oy"_s, newIban}};
    for (const auto &page : pages) {
        const QString text = toolOutput(u"pdftotext"_s, {page.pdf, u"-"_s});
        QVERIFY2(text.contains(page.name) && text.contains(page.iban), qPrintable(page.pdf + u'\n' + text));
        const QString other = page.name == u"Testi Oy"_s ? u"Uusi Nimi Oy"_s : u"Testi Oy"_s;
        QVERIFY2(!text.contains(other), qPrintable(page.pdf));
        QCOMPARE(codeOnPage(page.pdf, data.path(), 300, u"code128"_s).mid(1, 16), digits(page.iban));
    }

    for (const auto &[number, name, iban] :
         {std::tuple(u"57"_s, u"Testi Oy"_s, oldIban), std::tuple(u"60"_s, u"Uusi Nimi Oy"_s, newIban)}) {
        const QString finvoiceFile = data.filePath(u"finvoice/%1.xml"_s.arg(number));
        QCOMPARE(finvoiceCheckErrors(finvoiceFile), QString());
        const QMap<QString, QStringList> finvoice = elementTexts(readBytes(finvoiceFile));
        QCOMPARE(finvoice.value(u"SellerOrganisationName"_s).value(0), name);
        QCOMPARE(finvoice.value(u"EpiAccountID"_s).value(0), QString(iban).remove(u' '));
        QCOMPARE(finvoice.value(u"EpiBfiIdentifier"_s).value(0), u"NDEAFIHH"_s);
        const QString peppolFile = data.filePath(u"peppol/%1.xml"_s.arg(number));
        QCOMPARE(schemaErrors(peppolFile, kUblSchema), QString());
        const QMap<QString, QStringList> peppol = elementTexts(readBytes(peppolFile));
        QVERIFY2(peppol.value(u"RegistrationName"_s).contains(name), qPrintable(peppolFile));
        QVERIFY2(peppol.value(u"ID"_s).contains(QString(iban).remove(u' ')), qPrintable(peppolFile));
    }
}

QTEST_MAIN(EinvoiceOutputTest)
#include "tst_einvoiceoutput.moc"
