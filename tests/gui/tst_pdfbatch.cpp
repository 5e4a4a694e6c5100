// The command line run as a user runs it: the program in a folder of its own,
// no display, no XDG_RUNTIME_DIR (root in a CI job), PDFs read back with
// poppler, and every file that was there before checked afterwards.

#include "tests/support/testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kIban = "FI21 1234 5600 0007 85";

QByteArray invoice(const char *number, const char *customer)
{
    return QByteArray("\"") + number + "\",\"1.12.2026\",\"1009\",\"\",\"1\"\r\n\"" + customer
        + "\",\"Katu 1\",\" \",\" \"\r\n\" \",Kahvi,2,\" \",\"3,50\",\"25,5\",\"8,79\"\r\n";
}

// An invoice of many rows, whose PDF of several pages is larger than the others'.
QByteArray longInvoice()
{
    QByteArray bytes = "\"59\",\"1.12.2026\",\"1012\",\"\",\"1\"\r\n\"Iso Tilaaja Oy\",\"Katu 2\",\" \",\" \"\r\n";
    for (int row = 1; row <= 80; ++row)
        bytes += "\" \",\"Tuote numero " + QByteArray::number(row) + " pitk\xe4ll\xe4 nimell\xe4\"," + QByteArray::number(row)
            + ",kpl,\"1" + QByteArray::number(row) + ",00\",\"25,5\",\"12,55\"\r\n";
    return bytes;
}

// The words of a PDF's pages with their boxes, as a reader finds them.
QStringList placedWords(const QString &pdf)
{
    QStringList words = toolOutput(u"pdftotext"_s, {u"-bbox-layout"_s, pdf, u"-"_s}).split(u'\n');
    words.removeIf([](const QString &line) { return !line.contains(u"<word "_s); });
    return words;
}

QByteArray randomBytes()
{
    QRandomGenerator generator(57);
    QByteArray bytes(3000, '\0');
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

// The program's folder: the program, its settings and the save folder in one,
// whose customer register cannot be read (a folder of that name); invoices of
// two years with the same number, files that are no invoices, and profiles
// that cannot be used.
struct ProgramFolder
{
    QTemporaryDir dir;

    ProgramFolder()
    {
        QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), path(u"laskutus"_s));
        const QByteArray saveFolder = QFile::encodeName(dir.path()) + '/';
        writeBytes(path(u"laskutus.INI"_s),
                   "[File]\r\nOletDir=" + saveFolder + "\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=" + kIban + "\r\n");
        writeBytes(path(u"koodit.ini"_s), "[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=" + kIban
                                              + "\r\nBic=NDEAFIHH\r\nViivakoodi=1\r\nQrKoodi=1\r\n");
        writeBytes(path(u"vaarailban.ini"_s), "[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=FI00 0000 0000 0000 00\r\n");
        writeBytes(path(u"oletusiban.ini"_s), "[Laskuttaja]\r\nNimi=Testi Oy\r\n");
        writeBytes(path(u"tarkisteiban.ini"_s), "[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=FI21 1234 5600 0007 86\r\n");
        // No account, with both codes asked for.
        writeBytes(path(u"eiibania.ini"_s),
                   "[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=\r\nViivakoodi=1\r\nQrKoodi=1\r\n");
        mkfifo(QFile::encodeName(path(u"putki.ini"_s)).constData(), 0600);
        QDir(dir.path()).mkpath(u"AsiakRek.csv"_s);
        writeBytes(path(u"57.csv"_s), invoice("57", "Matti Meik\xe4l\xe4inen"));
        writeBytes(path(u"58.csv"_s), invoice("58", "Oy Toinen Ab"));
        writeBytes(path(u"iso.csv"_s), longInvoice());
        writeBytes(path(u"lasku57"_s), invoice("57", "Matti Meik\xe4l\xe4inen"));
        QDir(dir.path()).mkpath(u"2025"_s);
        QDir(dir.path()).mkpath(u"2026"_s);
        writeBytes(path(u"2025/1.csv"_s), invoice("1", "Vanha Asiakas"));
        writeBytes(path(u"2026/1.csv"_s), invoice("1", "Uusi Asiakas"));
        writeBytes(path(u"roska.csv"_s), randomBytes());
        writeBytes(path(u"tyhja.csv"_s), QByteArray());
        QDir(dir.path()).mkpath(u"kopio"_s);
        writeBytes(path(u"kopio/AsiakRek.csv"_s),
                   "\"Matti Meik\xe4l\xe4inen\",\"Katu 1\",\" \",\" \",1234567-8,1\r\nYritys,Tie,\" \",\" \",\" \",2\r\n");
        writeBytes(path(u"muistio.txt"_s), "Soita asiakkaalle\r\n");
        writeBytes(path(u"vanha.pdf"_s), "%PDF-1.4 vanha\r\n");
        QDir(dir.path()).mkpath(u"pdf-kansio"_s);
    }

    QString path(const QString &relative) const { return dir.filePath(relative); }

    // Every regular file below the folder with its bytes; FIFOs are left out,
    // reading one would wait.
    QMap<QString, QByteArray> files() const
    {
        QMap<QString, QByteArray> found;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            found.insert(QDir(dir.path()).relativeFilePath(file), readBytes(file));
        }
        return found;
    }

    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    // Starts the program as in a CI job as root: no display, no runtime folder.
    void start(QProcess &process, const QStringList &arguments, qint64 fileSizeLimit = 0) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"QT_QPA_PLATFORM"_s);
        environment.remove(u"DISPLAY"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        environment.remove(u"XDG_RUNTIME_DIR"_s);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.setChildProcessModifier([fileSizeLimit] {
            // As a shell starts it: a file size limit ends the program unless
            // the program itself sees to it.
            std::signal(SIGXFSZ, SIG_DFL);
            if (fileSizeLimit > 0) {
                const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
        });
        process.start(path(u"laskutus"_s), arguments);
    }

    Run run(const QStringList &arguments, qint64 fileSizeLimit = 0) const
    {
        QProcess process;
        start(process, arguments, fileSizeLimit);
        Run result;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            result.err = u"<the program did not end>"_s;
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err += QString::fromUtf8(process.readAllStandardError());
        return result;
    }
};

} // namespace

class PdfBatchTest : public QObject
{
    Q_OBJECT

private slots:
    void exportWritesEachInvoiceOnceOrNothing_data();
    void exportWritesEachInvoiceOnceOrNothing();
    void batchReadsAsSingleExports_data();
    void batchReadsAsSingleExports();
    void optionsAnswerWithoutWindow_data();
    void optionsAnswerWithoutWindow();
    void pageWithoutIbanHasNoCodes();
    void killedBatchCleanedByTheNext();
};

void PdfBatchTest::exportWritesEachInvoiceOnceOrNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<qint64>("fileSizeLimit");
    QTest::addColumn<int>("exitCode");
    // "file.pdf=customer" for each PDF written, with the customer it shows.
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QStringList>("reported");

    const qint64 none = 0;
    QTest::newRow("one invoice into one file")
        << QStringList{u"--pdf"_s, u"lasku.pdf"_s, u"57.csv"_s} << none << 0
        << QStringList{u"lasku.pdf=Matti Meikäläinen"_s} << QStringList{u"1/1 57.csv"_s};
    QTest::newRow("an older PDF is replaced")
        << QStringList{u"--pdf"_s, u"vanha.pdf"_s, u"57.csv"_s} << none << 0
        << QStringList{u"vanha.pdf=Matti Meikäläinen"_s} << QStringList();
    QTest::newRow("a batch into a folder, one file missing")
        << QStringList{u"--pdf"_s, u"pdf"_s, u"57.csv"_s, u"puuttuu.csv"_s, u"58.csv"_s} << none << 1
        << QStringList{u"pdf/57.pdf=Matti Meikäläinen"_s, u"pdf/58.pdf=Oy Toinen Ab"_s}
        << QStringList{u"3/3 58.csv"_s, u"Virhe: puuttuu.csv: Cannot open file puuttuu.csv"_s,
                       u"1/3 laskua epäonnistui."_s};
    QTest::newRow("the same number of two years")
        << QStringList{u"--pdf"_s, u"pdf"_s, u"2025/1.csv"_s, u"2026/1.csv"_s, u"57.csv"_s} << none << 0
        << QStringList{u"pdf/2025-1.pdf=Vanha Asiakas"_s, u"pdf/2026-1.pdf=Uusi Asiakas"_s,
                       u"pdf/57.pdf=Matti Meikäläinen"_s}
        << QStringList();
    QTest::newRow("one invoice given twice")
        << QStringList{u"--pdf"_s, u"pdf"_s, u"57.csv"_s, u"./57.csv"_s} << none << 2 << QStringList()
        << QStringList{u"saisivat saman pdf-tiedoston"_s, u"Mitään ei kirjoitettu."_s};
    QTest::newRow("damaged, empty and register files")
        << QStringList{u"--pdf"_s, u"pdf"_s, u"roska.csv"_s, u"tyhja.csv"_s, u"kopio/AsiakRek.csv"_s, u"58.csv"_s}
        << none << 1 << QStringList{u"pdf/58.pdf=Oy Toinen Ab"_s}
        << QStringList{u"Virhe: roska.csv: Tiedosto roska.csv ei ole lasku: otsikkorivillä ei ole"_s,
                       u"Virhe: tyhja.csv: Tiedosto tyhja.csv ei ole lasku: tiedosto on tyhjä."_s,
                       u"Tiedosto kopio/AsiakRek.csv ei ole lasku: otsikkorivillä ei ole kelvollista laskun "
                       "päiväystä."_s,
                       u"3/4 laskua epäonnistui."_s};
    QTest::newRow("a profile that does not exist")
        << QStringList{u"--profile"_s, u"eiole"_s, u"--pdf"_s, u"x.pdf"_s, u"57.csv"_s} << none << 2
        << QStringList() << QStringList{u"eiole.ini ei ole; laskuttajan tiedot puuttuvat"_s};
    QTest::newRow("a profile with the placeholder IBAN")
        << QStringList{u"--profile"_s, u"vaarailban"_s, u"--pdf"_s, u"x.pdf"_s, u"57.csv"_s} << none << 2
        << QStringList() << QStringList{u"\"FI00 0000 0000 0000 00\""_s, u"ei ole kelvollinen"_s};
    QTest::newRow("a profile with the IBAN never set")
        << QStringList{u"--profile"_s, u"oletusiban"_s, u"--pdf"_s, u"x.pdf"_s, u"57.csv"_s} << none << 2
        << QStringList() << QStringList{u"\"FI00 0000 0000 0000 00?\""_s, u"ei ole kelvollinen"_s};
    QTest::newRow("a profile with an IBAN failing its check")
        << QStringList{u"--profile"_s, u"tarkisteiban"_s, u"--pdf"_s, u"x.pdf"_s, u"57.csv"_s} << none << 2
        << QStringList() << QStringList{u"\"FI21 1234 5600 0007 86\""_s, u"ei ole kelvollinen"_s};
    QTest::newRow("a profile without an IBAN")
        << QStringList{u"--profile"_s, u"eiibania"_s, u"--pdf"_s, u"x.pdf"_s, u"57.csv"_s} << none << 0
        << QStringList{u"x.pdf=Matti Meikäläinen"_s} << QStringList{u"1/1 57.csv"_s};
    QTest::newRow("an e-invoice without an IBAN")
        << QStringList{u"--profile"_s, u"eiibania"_s, u"--finvoice"_s, u"x.xml"_s, u"57.csv"_s} << none << 2
        << QStringList() << QStringList{u"\"\""_s, u"ei ole kelvollinen"_s};
    QTest::newRow("settings that are a FIFO")
        << QStringList{u"--profile"_s, u"putki"_s, u"--pdf"_s, u"x.pdf"_s, u"57.csv"_s} << none << 2
        << QStringList() << QStringList{u"putki.ini ei ole tavallinen tiedosto"_s};
    QTest::newRow("one invoice into an existing folder")
        << QStringList{u"--pdf"_s, u"pdf-kansio"_s, u"57.csv"_s} << none << 0
        << QStringList{u"pdf-kansio/57.pdf=Matti Meikäläinen"_s} << QStringList();
    QTest::newRow("one invoice into a new folder ending in /")
        << QStringList{u"--pdf"_s, u"uusi/"_s, u"2026/1.csv"_s} << none << 0
        << QStringList{u"uusi/1.pdf=Uusi Asiakas"_s} << QStringList();
    QTest::newRow("the output forgotten")
        << QStringList{u"--pdf"_s, u"57.csv"_s, u"58.csv"_s} << none << 2 << QStringList()
        << QStringList{u"päättyy .csv"_s};
    QTest::newRow("an output ending in .CSV") << QStringList{u"--pdf"_s, u"UUSI.CSV"_s, u"58.csv"_s} << none << 2
                                              << QStringList() << QStringList{u"päättyy .csv"_s};
    QTest::newRow("the output is the input")
        << QStringList{u"--pdf"_s, u"lasku57"_s, u"lasku57"_s} << none << 2 << QStringList()
        << QStringList{u"on myös luettava lasku"_s};
    QTest::newRow("the output is a file that is no PDF")
        << QStringList{u"--pdf"_s, u"muistio.txt"_s, u"57.csv"_s} << none << 2 << QStringList()
        << QStringList{u"muistio.txt on olemassa eikä se ole pdf-tiedosto"_s};
    QTest::newRow("a batch with one PDF larger than the file size limit")
        << QStringList{u"--pdf"_s, u"pdf"_s, u"57.csv"_s, u"iso.csv"_s, u"58.csv"_s} << qint64(30000) << 1
        << QStringList{u"pdf/57.pdf=Matti Meikäläinen"_s, u"pdf/58.pdf=Oy Toinen Ab"_s}
        << QStringList{u"Virhe: iso.csv: Pdf-tiedostoa ei voitu kirjoittaa"_s, u"1/3 laskua epäonnistui."_s};
    QTest::newRow("a file size limit")
        << QStringList{u"--pdf"_s, u"pdf"_s, u"57.csv"_s, u"58.csv"_s} << qint64(4096) << 1 << QStringList()
        << QStringList{u"Virhe: 57.csv: Pdf-tiedostoa ei voitu kirjoittaa"_s,
                       u"Virhe: 58.csv: Pdf-tiedostoa ei voitu kirjoittaa"_s, u"2/2 laskua epäonnistui."_s};
}

void PdfBatchTest::exportWritesEachInvoiceOnceOrNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(qint64, fileSizeLimit);
    QFETCH(int, exitCode);
    QFETCH(QStringList, written);
    QFETCH(QStringList, reported);
    const ProgramFolder folder;
    const QMap<QString, QByteArray> before = folder.files();

    const ProgramFolder::Run run = folder.run(arguments, fileSizeLimit);

    QVERIFY2(run.exitCode == exitCode, qPrintable(u"exit %1: %2"_s.arg(run.exitCode).arg(run.err)));
    for (const QString &text : reported)
        QVERIFY2(run.err.contains(text), qPrintable(text + u" not in: "_s + run.err));
    QVERIFY2(!run.err.contains(u"XDG_RUNTIME_DIR"_s), qPrintable(run.err));
    // The register that cannot be read is never touched.
    QVERIFY2(!run.err.contains(folder.path(u"AsiakRek.csv"_s)), qPrintable(run.err));

    QMap<QString, QString> customers;
    for (const QString &entry : written)
        customers.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    for (auto it = customers.cbegin(); it != customers.cend(); ++it) {
        const QString text = toolOutput(u"pdftotext"_s, {folder.path(it.key()), u"-"_s});
        QVERIFY2(text.contains(u"LASKU"_s) && text.contains(u"Testi Oy"_s) && text.contains(it.value()),
                 qPrintable(it.key() + u": "_s + text));
    }
    // Nothing else was written, and every file that was there is as it was.
    const QMap<QString, QByteArray> after = folder.files();
    QStringList added;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            added.append(it.key());
        else if (!customers.contains(it.key()))
            QVERIFY2(it.value() == before.value(it.key()), qPrintable(it.key() + u" changed"_s));
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(after.contains(it.key()), qPrintable(it.key() + u" removed"_s));
    QStringList expected = customers.keys();
    expected.removeIf([&before](const QString &file) { return before.contains(file); });
    added.sort();
    expected.sort();
    QCOMPARE(added, expected);
}

void PdfBatchTest::batchReadsAsSingleExports_data()
{
    QTest::addColumn<QStringList>("profile");
    QTest::addColumn<bool>("codes");
    QTest::newRow("no payment codes") << QStringList() << false;
    QTest::newRow("bank barcode and QR code") << QStringList{u"--profile"_s, u"koodit"_s} << true;
}

// Each PDF of a batch, drawn after other invoices in the same process, reads
// as the PDF of its invoice exported alone: the same words in the same
// places, the same codes.
void PdfBatchTest::batchReadsAsSingleExports()
{
    QFETCH(QStringList, profile);
    QFETCH(bool, codes);
    const ProgramFolder folder;
    const QStringList invoices{u"iso"_s, u"57"_s, u"58"_s};
    QStringList batch = profile + QStringList{u"--pdf"_s, u"pdf"_s};
    for (const QString &invoice : invoices)
        batch.append(invoice + u".csv"_s);
    const ProgramFolder::Run run = folder.run(batch);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    for (const QString &invoice : invoices) {
        const QString alone = u"yksin-%1.pdf"_s.arg(invoice);
        const ProgramFolder::Run single = folder.run(profile + QStringList{u"--pdf"_s, alone, invoice + u".csv"_s});
        QVERIFY2(single.exitCode == 0, qPrintable(single.err));
        const QString inBatch = folder.path(u"pdf/%1.pdf"_s.arg(invoice));
        const QStringList words = placedWords(inBatch);
        QVERIFY2(words.size() > 50, qPrintable(words.join(u'\n')));
        QCOMPARE(words, placedWords(folder.path(alone)));
        for (const QString &symbology : {u"code128"_s, u"qrcode"_s}) {
            const QString code = codeOnPage(inBatch, folder.path(u"pdf"_s), 300, symbology);
            QCOMPARE(code.isEmpty(), !codes);
            QCOMPARE(code, codeOnPage(folder.path(alone), folder.dir.path(), 300, symbology));
        }
    }
}

void PdfBatchTest::optionsAnswerWithoutWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString usageStart = u"Käyttö:\n"_s;
    QTest::newRow("--help") << QStringList{u"--help"_s} << 0 << usageStart << QString();
    QTest::newRow("-h") << QStringList{u"-h"_s} << 0 << usageStart << QString();
    QTest::newRow("--version") << QStringList{u"--version"_s} << 0 << u"laskutus %1\n"_s.arg(QStringLiteral(LASKUTUS_VERSION))
                               << QString();
    QTest::newRow("an unknown option") << QStringList{u"--versio"_s} << 2 << QString()
                                       << u"laskutus: tuntematon valinta --versio\nKäyttö:\n"_s;
    QTest::newRow("a short unknown option") << QStringList{u"-v"_s} << 2 << QString()
                                            << u"laskutus: tuntematon valinta -v\nKäyttö:\n"_s;
    QTest::newRow("--profile without an export") << QStringList{u"--profile"_s, u"firma2"_s} << 2 << QString()
                                                 << u"laskutus: --profile kuuluu vientiin valinnalla --pdf\n"_s;
}

void PdfBatchTest::optionsAnswerWithoutWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const ProgramFolder folder;
    const QMap<QString, QByteArray> before = folder.files();

    const ProgramFolder::Run run = folder.run(arguments);

    QVERIFY2(run.exitCode == exitCode, qPrintable(u"exit %1: %2"_s.arg(run.exitCode).arg(run.err)));
    QVERIFY2(run.out.startsWith(out), qPrintable(run.out));
    QVERIFY2(run.err.startsWith(err), qPrintable(run.err));
    // The usage goes whole to one of the two, ending its last line.
    const QString usage = exitCode == 0 ? run.out : run.err;
    QVERIFY2(usage.endsWith(u'\n'), qPrintable(usage));
    if (!usage.startsWith(u"laskutus "_s + QStringLiteral(LASKUTUS_VERSION)))
        QVERIFY2(usage.contains(u"laskutus --version\n"_s) && usage.contains(u"2025-1.pdf"_s), qPrintable(usage));
    // No window was opened, so no settings file named after the option.
    QCOMPARE(folder.files(), before);
}

// Without an account the page prints as the window prints it: whole, with no
// bank barcode and no QR code, though both are asked for.
void PdfBatchTest::pageWithoutIbanHasNoCodes()
{
    const ProgramFolder folder;
    const ProgramFolder::Run run = folder.run({u"--profile"_s, u"eiibania"_s, u"--pdf"_s, u"x.pdf"_s, u"57.csv"_s});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QString pdf = folder.path(u"x.pdf"_s);
    const QString text = toolOutput(u"pdftotext"_s, {pdf, u"-"_s});
    QVERIFY2(text.contains(u"LASKU"_s) && text.contains(u"Matti Meikäläinen"_s) && text.contains(u"8,79"_s),
             qPrintable(text));
    for (const QString &symbology : {u"code128"_s, u"qrcode"_s})
        QCOMPARE(codeOnPage(pdf, folder.dir.path(), 300, symbology), QString());
    // The same page with an account does carry them, so ZBar would see them.
    const ProgramFolder::Run withCodes = folder.run({u"--profile"_s, u"koodit"_s, u"--pdf"_s, u"y.pdf"_s, u"57.csv"_s});
    QVERIFY2(withCodes.exitCode == 0, qPrintable(withCodes.err));
    QVERIFY(!codeOnPage(folder.path(u"y.pdf"_s), folder.dir.path(), 300, u"code128"_s).isEmpty());
}

// A batch killed with SIGKILL part way leaves its temporary files and its
// lock in the folder. The next export into the folder removes those, says
// so, and leaves every other file, the user's look-alikes too.
void PdfBatchTest::killedBatchCleanedByTheNext()
{
    const ProgramFolder folder;
    QStringList batch{u"--pdf"_s, u"ulos"_s};
    QDir(folder.dir.path()).mkpath(u"monta"_s);
    for (int number = 1; number <= 400; ++number) {
        const QByteArray name = QByteArray::number(number);
        writeBytes(folder.path(u"monta/%1.csv"_s.arg(number)), invoice(name.constData(), "Asiakas " + name));
        batch.append(u"monta/%1.csv"_s.arg(number));
    }
    const QDir out(folder.path(u"ulos"_s));
    // Until the batch commits, every file in the folder is one of its own.
    const auto batchFiles = [&out] { return out.entryList(QDir::Files | QDir::Hidden); };
    QProcess killed;
    folder.start(killed, batch);
    QVERIFY(killed.waitForStarted());
    // Five temporary files, the hidden lock not counted among them.
    QTRY_VERIFY_WITH_TIMEOUT(out.entryList(QDir::Files).size() >= 5, 60000);
    killed.kill();
    QVERIFY(killed.waitForFinished());
    QCOMPARE(killed.exitStatus(), QProcess::CrashExit);

    const QStringList leftovers = batchFiles();
    // The temporary files; the batch's lock file is hidden.
    const QStringList temporaries = leftovers.filter(QRegularExpression(u"^[^.]"_s));
    QVERIFY(temporaries.size() >= 5);
    const QStringList lookalikes = {u"1.pdf.b3ec22d9"_s, u"2.pdf.laskutus-0123456789abcdef.tmp"_s,
                                    u".laskutus-fedcba9876543210.lock"_s, u"3.pdf.laskutus-fedcba9876543210.tmp"_s,
                                    temporaries.constFirst() + u".vanha"_s};
    for (const QString &name : lookalikes)
        writeBytes(out.filePath(name), "käyttäjän tiedosto");
    const QMap<QString, QByteArray> before = folder.files();

    const ProgramFolder::Run next = folder.run({u"--pdf"_s, u"ulos"_s, u"57.csv"_s, u"58.csv"_s});
    QVERIFY2(next.exitCode == 0, qPrintable(next.err));
    QVERIFY2(next.err.contains(u"Poistettiin keskeytyneen viennin %1 väliaikaista tiedostoa kansiosta ulos."_s.arg(
                 temporaries.size())),
             qPrintable(next.err));

    QMap<QString, QByteArray> expected = before;
    for (const QString &name : leftovers)
        expected.remove(u"ulos/"_s + name);
    // Had the killed batch put any PDF in place, 57.pdf and 58.pdf are
    // written over: they are the only names the next export may add or change.
    const QStringList written{u"ulos/57.pdf"_s, u"ulos/58.pdf"_s};
    QStringList names = expected.keys();
    for (const QString &name : written) {
        if (!names.contains(name))
            names.append(name);
    }
    names.sort();
    const QMap<QString, QByteArray> after = folder.files();
    QCOMPARE(QStringList(after.keys()), names);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (!written.contains(it.key()))
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key() + u" changed"_s));
    }
    QVERIFY(toolOutput(u"pdftotext"_s, {folder.path(u"ulos/58.pdf"_s), u"-"_s}).contains(u"Oy Toinen Ab"_s));
}

QTEST_MAIN(PdfBatchTest)
#include "tst_pdfbatch.moc"
