// A saved invoice opened again, later and under other defaults, with
// "Nouda lasku" and with `laskutus --pdf`: its page, totals and payment codes
// are those on the window when it was saved. Files written before the
// invoice kept its VAT mode and terms open as they always did.

#include "app/Unit1.h"
#include "invoice/invoicedata.h"
#include "storage/cp1252.h"
#include "storage/invoicefile.h"
#include "storage/textfile.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The biller's defaults an invoice is saved or opened under.
struct Defaults
{
    bool unitPricesWithVat = false;
    bool rowTotalsWithVat = false;
    QString terms;
    QString interest;
    QString reminder;
};

const Defaults kPlain{false, false, u"14 pv netto"_s, u"13%"_s, u"7 pv"_s};
const Defaults kWithVat{true, true, u"30 pv netto"_s, u"8%"_s, u"14 pv"_s};

// Settings with a save folder, both payment codes and PDF as the output.
QByteArray settings(const Defaults &d, const QString &saveFolder)
{
    return stringToCp1252(u"[File]\r\nOletDir=%1/\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\nVirallNimi=Testi Oy\r\n"
                          "Iban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\nSeurViite=100\r\nViivakoodi=1\r\n"
                          "QrKoodi=1\r\nPdfOletus=1\r\nASisAlv=%2\r\nYhtSisAlv=%3\r\nMaksuehto=%4\r\n"
                          "Viiv.korko=%5\r\nHuom.aika=%6\r\n"_s.arg(saveFolder)
                              .arg(int(d.unitPricesWithVat))
                              .arg(int(d.rowTotalsWithVat))
                              .arg(d.terms, d.interest, d.reminder));
}

// The page's words as a reader gets them.
QString pageText(const QString &pdf)
{
    return toolOutput(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
}

// What ZBar reads of the rendered first page: each code with its kind.
QString codesOnPage(const QString &pdf)
{
    const QString png = pdf + u"-sivu"_s;
    toolOutput(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, u"300"_s, u"-singlefile"_s, pdf, png});
    return toolOutput(u"zbarimg"_s, {u"--quiet"_s, u"-Sqrcode.binary"_s, png + u".png"_s});
}

// "Tulosta pdf" to the path.
void exportPdf(FormFixture &f, const QString &pdf)
{
    f.prompter().answerSave(pdf);
    f.form().Pdfexport1->trigger();
}

// Runs `laskutus --pdf` from a program folder of its own with these settings;
// the PDF of the last invoice.
QString exportWithProgram(const QTemporaryDir &dir, const QByteArray &settingsBytes, const QStringList &csvs)
{
    const QString program = dir.filePath(u"laskutus"_s);
    QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program);
    writeBytes(dir.filePath(u"laskutus.INI"_s), settingsBytes);
    const QString out = dir.filePath(u"pdf/"_s);
    QProcess process;
    process.start(program, QStringList{u"--pdf"_s, out} + csvs);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning() << process.readAllStandardError();
    return out + QFileInfo(csvs.last()).completeBaseName() + u".pdf"_s;
}

// What a saved invoice shows where its defaults matter.
QStringList shownTerms(const TForm1 &form)
{
    return {form.SisAlv1->isChecked() ? u"á hinta sis. alv"_s : u"á hinta alv 0"_s, form.TotSum->text(),
            form.SumAlv0->text(), form.AlvSum1->text(), form.MaksuEhto2->text(), form.ViivKorko2->text(),
            form.HuomAika2->text(), form.EraPv2->text(), form.EraPv3->text()};
}

QString dataFile(const QString &name)
{
    return QStringLiteral(LASKUTUS_TEST_DATA) + u'/' + name;
}

} // namespace

class ReopenedInvoiceTest : public QObject
{
    Q_OBJECT

private slots:
    void reopenedUnderOtherDefaultsAsSaved_data();
    void reopenedUnderOtherDefaultsAsSaved();
    void filesOfEarlierVersionsOpenAsBefore_data();
    void filesOfEarlierVersionsOpenAsBefore();
    void storedValuesReadOnlyWhenReadable_data();
    void storedValuesReadOnlyWhenReadable();
    void openedDueDateStandsUntilDateOrTermsTyped_data();
    void openedDueDateStandsUntilDateOrTermsTyped();
};

void ReopenedInvoiceTest::reopenedUnderOtherDefaultsAsSaved_data()
{
    QTest::addColumn<bool>("unitPricesWithVat");
    QTest::addColumn<bool>("rowTotalsWithVat");
    QTest::addColumn<bool>("savedUnderPlain");
    for (const bool plainFirst : {true, false}) {
        for (const bool unitPrices : {false, true}) {
            for (const bool rowTotals : {false, true}) {
                QTest::addRow("á hinta sis. %d, rivi yht. sis. %d, saved under %s", unitPrices, rowTotals,
                              plainFirst ? "0/0, opened under 1/1" : "1/1, opened under 0/0")
                    << unitPrices << rowTotals << plainFirst;
            }
        }
    }
}

// The window at saving is what the reopened invoice shows, and what its PDF
// and payment codes carry, through "Nouda lasku" and through the command line.
void ReopenedInvoiceTest::reopenedUnderOtherDefaultsAsSaved()
{
    QFETCH(bool, unitPricesWithVat);
    QFETCH(bool, rowTotalsWithVat);
    QFETCH(bool, savedUnderPlain);
    const Defaults &savedUnder = savedUnderPlain ? kPlain : kWithVat;
    const Defaults &openedUnder = savedUnderPlain ? kWithVat : kPlain;
    QTemporaryDir dir;
    const QString saveFolder = dir.filePath(u"tallennus"_s);
    QDir().mkpath(saveFolder);

    QStringList atSaving;
    const QString savedPdf = dir.filePath(u"tallennettu.pdf"_s);
    {
        FormFixture f(settings(savedUnder, saveFolder));
        TForm1 &form = f.form();
        // The invoice's own VAT mode, set as the user sets it.
        if (form.YhtSisAlv->isChecked() != rowTotalsWithVat) {
            form.Laskuttajantiedot1->trigger();
            if (form.SisAlv2->isChecked())
                form.SisAlv2->click();
            form.YhtSisAlv->click();
            form.Ok2->click();
        }
        QCOMPARE(form.YhtSisAlv->isChecked(), rowTotalsWithVat);
        if (form.SisAlv1->isChecked() != unitPricesWithVat)
            form.SisAlv1->click();
        form.AsiakNimi1->setEditText(u"Asiakas Oy"_s);
        form.AsiakOsoite1->setCell(1, 1, u"Katu 1"_s);
        form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s});
        form.LaskuRivit1->setRowCells(2, {QString(), u"Kirja"_s, u"3"_s, u"kpl"_s, u"19,90"_s, u"14"_s});
        form.RecalcInvoice();
        atSaving = shownTerms(form);
        f.prompter().answerSave(savedPdf);
        QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    }
    const QString csv = saveFolder + u"/2026/1.csv"_s;
    QVERIFY(QFile::exists(csv));
    const QString savedText = pageText(savedPdf);
    const QString savedCodes = codesOnPage(savedPdf);
    QVERIFY2(savedText.contains(atSaving[1]), qPrintable(savedText));
    // Both codes carry the due date: the bank barcode as yymmdd at its end.
    const QDate due = QDate::fromString(atSaving[7], u"d.M.yyyy"_s);
    QVERIFY2(savedCodes.contains(u"QR-Code:BCD"_s) && savedCodes.contains(due.toString(u"yyMMdd"_s) + u"\n"_s),
             qPrintable(savedCodes));

    QTemporaryDir later;
    FormFixture f(settings(openedUnder, later.path()), {}, QDate(2027, 12, 7));
    f.prompter().answerOpen(csv);
    f.form().Noudalasku1->trigger();
    QCOMPARE(shownTerms(f.form()), atSaving);
    const QString openedPdf = later.filePath(u"avattu.pdf"_s);
    exportPdf(f, openedPdf);
    QCOMPARE(pageText(openedPdf), savedText);
    QCOMPARE(codesOnPage(openedPdf), savedCodes);

    // A new invoice follows the defaults again, and so does the reopened one
    // when the defaults are confirmed in "Laskuttajan tiedot".
    const QString underDefaults = openedUnder.unitPricesWithVat || !openedUnder.rowTotalsWithVat ? u"100,00"_s
                                                                                                  : u"125,50"_s;
    QTest::mouseClick(f.form().Uusi1, Qt::LeftButton);
    f.form().LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s});
    f.form().RecalcInvoice();
    QCOMPARE(f.form().LaskuRivit1->cell(TotalColumn, 1), underDefaults);
    f.prompter().answerOpen(csv);
    f.form().Noudalasku1->trigger();
    f.form().Laskuttajantiedot1->trigger();
    f.form().Ok2->click();
    QCOMPARE(f.form().LaskuRivit1->cell(TotalColumn, 1), underDefaults);

    QTemporaryDir program;
    const QString exported = exportWithProgram(program, settings(openedUnder, program.path()), {csv});
    QCOMPARE(pageText(exported), savedText);
    QCOMPARE(codesOnPage(exported), savedCodes);
}

void ReopenedInvoiceTest::filesOfEarlierVersionsOpenAsBefore_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("defaults");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("savedAs");
    const QByteArray plain = "ASisAlv=0\r\nYhtSisAlv=1\r\nMaksuehto=14 pv netto\r\n";
    const QByteArray withVat = "ASisAlv=1\r\nMaksuehto=30 pv\r\nViiv.korko=8%\r\nHuom.aika=14 pv\r\n";
    const QByteArray vatFree = "ASisAlv=0\r\nYhtSisAlv=0\r\nMaksuehto=netto 21 pv\r\n";
    QTest::newRow("two rates, prices without VAT")
        << u"vanha-kaksi-alv.csv"_s << plain
        << QStringList{u"á hinta alv 0"_s, u"148,30"_s, u"120,00"_s, u"28,30"_s, u"14 pv netto"_s, u"13%"_s,
                       u"7 pv"_s, u"16.11.2026"_s, u"16.11.2026"_s}
        << u"2026/41.csv"_s;
    QTest::newRow("two rates, prices with VAT")
        << u"vanha-kaksi-alv.csv"_s << withVat
        << QStringList{u"á hinta sis. alv"_s, u"120,00"_s, u"97,22"_s, u"22,78"_s, u"30 pv"_s, u"8%"_s,
                       u"14 pv"_s, u"2.12.2026"_s, u"2.12.2026"_s}
        << u"2026/41.csv"_s;
    QTest::newRow("leap year, row totals without VAT")
        << u"vanha-karkausvuosi.csv"_s << vatFree
        << QStringList{u"á hinta alv 0"_s, u"150,60"_s, u"120,00"_s, u"30,60"_s, u"netto 21 pv"_s, u"13%"_s,
                       u"7 pv"_s, u"21.2.2024"_s, u"21.2.2024"_s}
        << u"2024/42.csv"_s;
    QTest::newRow("0 % and a text row, over the year's end")
        << u"vanha-nolla-alv.csv"_s << withVat
        << QStringList{u"á hinta sis. alv"_s, u"100,00"_s, u"100,00"_s, u"0,00"_s, u"30 pv"_s, u"8%"_s,
                       u"14 pv"_s, u"19.1.2026"_s, u"19.1.2026"_s}
        << u"2025/43.csv"_s;
}

// A file of five header values opens with today's defaults and its due date
// from today's term, on the window and from the command line; saved again, it
// gains the invoice's VAT mode and terms after its unchanged five values.
void ReopenedInvoiceTest::filesOfEarlierVersionsOpenAsBefore()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, defaults);
    QFETCH(QStringList, shown);
    QFETCH(QString, savedAs);
    QTemporaryDir dir;
    // The customers are in the register, so saving keeps their numbers.
    writeBytes(dir.filePath(u"AsiakRek.csv"_s),
               "\"Matti\",\" \",\" \",\" \",\" \",5\r\n\"Oy Ab\",\" \",\" \",\" \",\" \",7\r\n"
               "\"Vanha Asiakas Oy\",\"Katu 1\",\"00100 Helsinki\",\" \",1234567-8,3\r\n");
    const QString csv = dir.filePath(file);
    QVERIFY(QFile::copy(dataFile(file), csv));
    const QByteArray old = readBytes(csv);
    const QByteArray settingsBytes = "[File]\r\nOletDir=" + QFile::encodeName(dir.path())
        + "/\r\n[Laskuttaja]\r\nIban=FI21 1234 5600 0007 85\r\nPdfOletus=1\r\n" + defaults;

    // An invoice of the new kind, opened first, leaves nothing behind.
    const QString kept = dir.filePath(u"uusi.csv"_s);
    writeBytes(kept, "\"9\",\"1.1.2026\",\"1009\",\"\",\"5\",\"0\",\"0\",\"60 pv\",\"20%\",\"1 pv\",\"2.3.2026\"\r\n"
                     "\"Oy Ab\"\r\n\" \",Vuokra,1,kk,\"100,00\",\"0\",\"100,00\"\r\n");
    FormFixture f(settingsBytes);
    f.prompter().answerOpen(kept);
    f.form().Noudalasku1->trigger();
    f.prompter().answerOpen(csv);
    f.form().Noudalasku1->trigger();
    QCOMPARE(shownTerms(f.form()), shown);
    const QString openedPdf = dir.filePath(u"avattu.pdf"_s);
    exportPdf(f, openedPdf);
    const QString text = pageText(openedPdf);
    QVERIFY2(text.contains(shown[1]) && text.contains(shown[7]), qPrintable(text));

    QTemporaryDir program;
    QCOMPARE(pageText(exportWithProgram(program, settingsBytes, {kept, csv})), text);

    // Saved again: the five values as they were, then the new ones, the
    // biller it is now issued by (today's, the file keeping none) last.
    f.prompter().answerSave(dir.filePath(u"tallennettu.pdf"_s));
    QTest::mouseClick(f.form().Valmis1, Qt::LeftButton);
    const QStringList saved = ReadTextLines(dir.filePath(savedAs));
    const QStringList before = ReadTextLines(dataFile(file));
    const QString stored = u",\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\""_s.arg(
        shown[0] == u"á hinta sis. alv"_s ? u"1"_s : u"0"_s, defaults.contains("YhtSisAlv=0") ? u"0"_s : u"1"_s,
        shown[4], shown[5], shown[6], shown[7]);
    const BillerDetails &today = f.form().PageBiller;
    const QString issuer = u",\"\",\"\",\"\",\"\","_s
        + FormatHeaderLine({today.officialName, today.address1, today.address2, today.postOffice, today.businessId,
                            today.vatId, today.iban, today.bic});
    QCOMPARE(today.iban, u"FI21 1234 5600 0007 85"_s);
    QCOMPARE(saved.value(0), before[0] + stored + issuer);
    QCOMPARE(saved.value(1), before[1]);
    QCOMPARE(saved.size(), before.size());
    QVERIFY(old.startsWith(stringToCp1252(before[0]) + "\r\n"));
}

void ReopenedInvoiceTest::storedValuesReadOnlyWhenReadable_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("unitPricesWithVat");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("due");
    QTest::newRow("all kept") << u",\"1\",\"0\",\"10 pv\",\"9%\",\"3 pv\",\"5.1.2027\""_s << true << u"100,00"_s
                              << u"5.1.2027"_s;
    QTest::newRow("a due date that is no date is counted from the invoice's terms")
        << u",\"0\",\"0\",\"10 pv\",\"9%\",\"3 pv\",\"ei tiedossa\""_s << false << u"125,50"_s << u"12.12.2026"_s;
    QTest::newRow("no day 32") << u",\"0\",\"1\",\"10 pv\",\"9%\",\"3 pv\",\"32.12.2026\""_s << false
                               << u"125,50"_s << u"12.12.2026"_s;
    QTest::newRow("empty due date, yes/no not numbers keep the defaults")
        << u",\"kyllä\",\"\",\"10 pv\",\"9%\",\"3 pv\",\"\""_s << false << u"125,50"_s << u"12.12.2026"_s;
    QTest::newRow("cut short after the VAT modes") << u",\"1\",\"1\""_s << true << u"100,00"_s << u"30.12.2026"_s;
}

// Stored values that do not read as what they hold count as absent: the
// VAT mode stays the default, the due date is counted from the invoice's own
// term, or the default term when the file has none.
void ReopenedInvoiceTest::storedValuesReadOnlyWhenReadable()
{
    QFETCH(QString, stored);
    QFETCH(bool, unitPricesWithVat);
    QFETCH(QString, total);
    QFETCH(QString, due);
    QTemporaryDir dir;
    const QString csv = dir.filePath(u"57.csv"_s);
    writeBytes(csv, stringToCp1252(u"\"57\",\"2.12.2026\",\"1009\",\"\",\"\""_s + stored
                                   + u"\r\nMatti\r\n\" \",Työ,2,h,\"50,00\",\"25,5\",\" \"\r\n"_s));
    FormFixture f(stringToCp1252(u"[Laskuttaja]\r\nMaksuehto=28 pv\r\n"_s));
    f.prompter().answerOpen(csv);
    f.form().Noudalasku1->trigger();
    QCOMPARE(f.form().SisAlv1->isChecked(), unitPricesWithVat);
    QCOMPARE(f.form().TotSum->text(), total);
    QCOMPARE(f.form().EraPv3->text(), due);
}

void ReopenedInvoiceTest::openedDueDateStandsUntilDateOrTermsTyped_data()
{
    // The saved invoice is dated 1.11.2026, "14 pv netto", and due on
    // 30.11.2026, a due date typed by hand when it was saved.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("due");
    QTest::newRow("penalty interest typed: the stored due date stays") << u"interest"_s << u"8%"_s
                                                                      << u"30.11.2026"_s;
    QTest::newRow("a due date typed stands") << u"due"_s << u"4.12.2026"_s << u"4.12.2026"_s;
    QTest::newRow("date typed") << u"date"_s << u"2.11.2026"_s << u"16.11.2026"_s;
    QTest::newRow("terms typed") << u"terms"_s << u"30 pv netto"_s << u"1.12.2026"_s;
}

// An invoice opened with "Nouda lasku" keeps the due date it was saved with
// until its date or terms are typed; then the due date counts from them.
void ReopenedInvoiceTest::openedDueDateStandsUntilDateOrTermsTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, due);
    QTemporaryDir dir;
    const QString csv = dir.filePath(u"2026/57.csv"_s);
    QVERIFY(QDir(dir.path()).mkdir(u"2026"_s));
    writeBytes(csv, stringToCp1252(u"\"57\",\"1.11.2026\",\"1009\",\"\",\"1\",\"0\",\"1\",\"14 pv netto\",\"13%\","
                                   u"\"7 pv\",\"30.11.2026\"\r\n\"Asiakas Oy\",\"Katu 1\",\" \",\" \"\r\n"
                                   u"\" \",Työ,2,h,\"50,00\",\"25,5\",\"125,50\"\r\n"_s));
    FormFixture f(settings(kWithVat, dir.path()));
    QVERIFY(f.show());
    TForm1 &form = f.form();
    f.prompter().answerOpen(csv);
    form.Noudalasku1->trigger();
    QCOMPARE(form.EraPv2->text(), u"30.11.2026"_s);

    const QHash<QString, QLineEdit *> fields = {{u"interest"_s, form.ViivKorko2},
                                                {u"due"_s, form.EraPv2},
                                                {u"date"_s, form.LaskuPvm1},
                                                {u"terms"_s, form.MaksuEhto2}};
    QLineEdit *edit = fields.value(field);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, typed);
    QCOMPARE(form.EraPv2->text(), due);
    QCOMPARE(form.EraPv3->text(), due);

    // Saved back into its own file, as an opened invoice is; the PDF the
    // save writes asks for the file name.
    f.prompter().answerSave(dir.filePath(u"57.pdf"_s));
    QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    QCOMPARE(f.prompter().takeMessages(), QStringList());
    QCOMPARE(ReadInvoiceFile(csv).header.value(DueDateField), due);
}

QTEST_MAIN(ReopenedInvoiceTest)
#include "tst_reopenedinvoice.moc"
