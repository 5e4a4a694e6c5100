// Reading the command line: the window's profile or invoice, or a batch PDF
// export, and where the export may write.

#include "commandline.h"

#include "invoice/dates.h"
#include "invoice/reminder.h"
#include "output/einvoice.h"
#include "output/epcqr.h"
#include "storage/ledger.h"
#include "storage/reminderfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kProfile = u"--profile"_s;
const QString kList = u"--list"_s;
const QString kImportPayments = u"--import-payments"_s;
const QString kReminderDate = u"--date"_s;

// How each kind of export is asked for, named and told apart on disk.
struct ExportKindFacts
{
    ExportKind kind;
    QString option;
    QString suffix;
    // The kind's file in messages, as subject and as object.
    QString file;
    QString fileObject;
    // How a file of the kind begins: a PDF's header, an XML declaration or
    // the transmission frame a framed Finvoice begins with.
    QList<QByteArray> heads;
};

const ExportKindFacts kExportKinds[] = {
    {ExportKind::Pdf, u"--pdf"_s, u".pdf"_s, u"pdf-tiedosto"_s, u"pdf-tiedoston"_s, {"%PDF-"}},
    {ExportKind::Finvoice, u"--finvoice"_s, kEinvoiceFileSuffix.toString(), u"verkkolaskutiedosto"_s, u"verkkolaskutiedoston"_s,
     {"<?xml", "<SOAP-ENV:Envelope"}},
    {ExportKind::Peppol, u"--peppol"_s, kEinvoiceFileSuffix.toString(), u"verkkolaskutiedosto"_s, u"verkkolaskutiedoston"_s,
     {"<?xml", "<SOAP-ENV:Envelope"}},
    // A reminder's PDF takes the reminder's number once it is made
    // (ReminderPdfTarget): the target into a folder is the name without it.
    {ExportKind::Reminder, u"--reminder"_s, QString(), u"pdf-tiedosto"_s, u"pdf-tiedoston"_s, {"%PDF-"}},
};

const ExportKindFacts &factsOf(ExportKind kind)
{
    return kExportKinds[int(kind)];
}

std::optional<ExportKind> exportKindOf(const QString &argument)
{
    for (const ExportKindFacts &facts : kExportKinds) {
        if (facts.option == argument)
            return facts.kind;
    }
    return std::nullopt;
}

bool isOption(const QString &argument)
{
    return argument.startsWith(u'-');
}

CommandLine parseExport(const QStringList &arguments)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const std::optional<ExportKind> kind = exportKindOf(argument);
        if (argument == kReminderDate) {
            if (i + 1 >= arguments.size()) {
                line.error = u"%1 tarvitsee arvon"_s.arg(argument);
                return line;
            }
            const QString value = arguments[++i];
            line.reminderDate = ReadDate(value);
            if (!line.reminderDate.isValid()) {
                line.error = u"%1: \"%2\" ei ole päivämäärä; kirjoita se muodossa p.k.vvvv, esim. 7.12.2026"_s.arg(
                    argument, value);
                return line;
            }
        } else if (kind || argument == kProfile) {
            if (i + 1 >= arguments.size()) {
                line.error = u"%1 tarvitsee arvon"_s.arg(argument);
                return line;
            }
            if (kind && line.exportKind) {
                line.error = u"vain yksi vienti kerrallaan: %1 ja %2"_s.arg(ExportOption(*line.exportKind), argument);
                return line;
            }
            const QString value = arguments[++i];
            if (kind) {
                line.exportKind = kind;
                line.output = value;
            } else {
                line.startArguments = QStringList{value};
            }
        } else if (isOption(argument)) {
            line.error = u"tuntematon valinta %1"_s.arg(argument);
            return line;
        } else {
            line.inputs.append(argument);
        }
    }
    if (line.reminderDate.isValid() && line.exportKind != ExportKind::Reminder)
        line.error = u"%1 kuuluu maksumuistutukseen valinnalla %2"_s.arg(kReminderDate,
                                                                      ExportOption(ExportKind::Reminder));
    else if (line.inputs.isEmpty())
        line.error = u"yhtään laskutiedostoa ei annettu"_s;
    return line;
}

// The arguments of a command that runs without the window: its own option,
// "--profile NAME", and the plain arguments, each given to `take`, which sets
// the line's error when it refuses one.
CommandLine parseCommand(const QStringList &arguments, const QString &option, CommandLine line,
                         const std::function<void(CommandLine &, const QString &)> &take)
{
    for (qsizetype i = 0; i < arguments.size() && line.error.isEmpty(); ++i) {
        const QString &argument = arguments[i];
        if (argument == option)
            continue;
        if (argument == kProfile) {
            if (i + 1 >= arguments.size())
                line.error = u"%1 tarvitsee arvon"_s.arg(argument);
            else
                line.startArguments = QStringList{arguments[++i]};
        } else if (isOption(argument)) {
            line.error = u"tuntematon valinta %1"_s.arg(argument);
        } else {
            take(line, argument);
        }
    }
    return line;
}

// "--list [YEAR] [--profile NAME]": a year is a folder name of digits.
CommandLine parseList(const QStringList &arguments)
{
    CommandLine line;
    line.list = true;
    return parseCommand(arguments, kList, line, [](CommandLine &parsed, const QString &argument) {
        if (!parsed.listYear.isEmpty() || !IsYearFolderName(argument))
            parsed.error = u"%1 ottaa vain vuoden, esim. 2026, ei %2"_s.arg(kList, argument);
        else
            parsed.listYear = argument;
    });
}

// "--import-payments FILE… [--profile NAME]".
CommandLine parseImport(const QStringList &arguments)
{
    CommandLine line;
    line.importPayments = true;
    line = parseCommand(arguments, kImportPayments, line,
                        [](CommandLine &parsed, const QString &argument) { parsed.inputs.append(argument); });
    if (line.error.isEmpty() && line.inputs.isEmpty())
        line.error = u"yhtään maksutiedostoa ei annettu"_s;
    return line;
}

bool endsWithSeparator(const QString &path)
{
    return path.endsWith(u'/') || path.endsWith(QDir::separator());
}

// A path as the file system sees it: an existing file by its canonical path
// (links followed), a missing one by its absolute path.
struct FileIdentity
{
    bool exists = false;
    QString path;

    explicit FileIdentity(const QString &name)
    {
        const QFileInfo info(name);
        exists = info.exists();
        path = exists ? info.canonicalFilePath() : info.absoluteFilePath();
    }
};

// The paths of the files, existing and not, each set looked up once per
// target rather than every file compared with every target.
struct FileIdentities
{
    QSet<QString> existing;
    QSet<QString> missing;

    explicit FileIdentities(const QStringList &names)
    {
        for (const QString &name : names) {
            const FileIdentity identity(name);
            (identity.exists ? existing : missing).insert(identity.path);
        }
    }

    bool contains(const QString &name) const
    {
        const FileIdentity identity(name);
        return (identity.exists ? existing : missing).contains(identity.path);
    }
};

// Only a regular file is read: a FIFO of that name would never end.
bool beginsWithOneOf(const QString &path, const QList<QByteArray> &heads)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(64);
    return std::any_of(heads.begin(), heads.end(), [&start](const QByteArray &head) { return start.startsWith(head); });
}

} // namespace

bool IsInvoiceFileArgument(const QString &argument, const std::function<bool(const QString &)> &exists)
{
    return argument.endsWith(u".csv"_s, Qt::CaseInsensitive) && exists(argument);
}

CommandLine ParseCommandLine(const QStringList &arguments)
{
    return ParseCommandLine(arguments, [](const QString &path) {
        const QFileInfo file(path);
        return file.exists() && !file.isDir();
    });
}

CommandLine ParseCommandLine(const QStringList &arguments, const std::function<bool(const QString &)> &exists)
{
    CommandLine line;
    if (arguments.contains(u"--help"_s) || arguments.contains(u"-h"_s)) {
        line.help = true;
        return line;
    }
    if (arguments.contains(u"--version"_s)) {
        line.version = true;
        return line;
    }
    for (const QString &argument : arguments) {
        if (exportKindOf(argument))
            return parseExport(arguments);
    }
    if (arguments.contains(kList))
        return parseList(arguments);
    if (arguments.contains(kImportPayments))
        return parseImport(arguments);
    for (const QString &argument : arguments) {
        if (argument == kProfile) {
            line.error = u"%1 kuuluu vientiin valinnalla %2"_s.arg(kProfile, ExportOption(ExportKind::Pdf));
            return line;
        }
        // An option mistyped must not become a profile named after it.
        if (isOption(argument)) {
            line.error = u"tuntematon valinta %1"_s.arg(argument);
            return line;
        }
    }
    if (!arguments.isEmpty() && IsInvoiceFileArgument(arguments.constFirst(), exists))
        line.invoiceFile = arguments.constFirst();
    else
        line.startArguments = arguments;
    return line;
}

QString ImportPaymentsOption()
{
    return kImportPayments;
}

QString ListOption()
{
    return kList;
}

QString ExportOption(ExportKind kind)
{
    return factsOf(kind).option;
}

bool ExportOutputIsFolder(const QString &output, qsizetype inputCount, bool outputIsExistingFolder)
{
    return inputCount > 1 || outputIsExistingFolder || endsWithSeparator(output);
}

ExportTargets ExportTargetsFor(ExportKind kind, const QString &output, const QStringList &inputs, bool intoFolder)
{
    const ExportKindFacts &facts = factsOf(kind);
    if (!intoFolder)
        return {QStringList(inputs.size(), output), QString()};
    const auto key = [](const QString &name) { return name.toCaseFolded(); };
    QHash<QString, int> uses;
    for (const QString &input : inputs)
        ++uses[key(QFileInfo(input).completeBaseName())];

    ExportTargets result;
    QHash<QString, QString> takenBy;
    for (const QString &input : inputs) {
        const QFileInfo file(input);
        QString name = file.completeBaseName();
        if (uses.value(key(name)) > 1)
            name = file.absoluteDir().dirName() + u'-' + name;
        const QString target = QDir(output).filePath(name + facts.suffix);
        if (const QString other = takenBy.value(key(name)); !other.isEmpty()) {
            result.error = u"laskut %1 ja %2 saisivat saman %3 %4"_s.arg(
                QDir::toNativeSeparators(other), QDir::toNativeSeparators(input), facts.fileObject,
                QDir::toNativeSeparators(target));
            result.targets.clear();
            return result;
        }
        takenBy.insert(key(name), input);
        result.targets.append(target);
    }
    return result;
}

QString ExportTargetsRefusal(ExportKind kind, const QString &output, bool intoFolder, const QStringList &inputs,
                             const QStringList &targets)
{
    const ExportKindFacts &facts = factsOf(kind);
    if (!intoFolder && output.endsWith(u".csv"_s, Qt::CaseInsensitive))
        return u"%1 nimi %2 päättyy .csv, joten se korvaisi laskutiedoston"_s.arg(facts.fileObject,
                                                                                QDir::toNativeSeparators(output));
    // Into a folder a reminder's PDF is named, and checked (ReminderPdfRefusal),
    // once the reminder is made.
    if (kind == ExportKind::Reminder && intoFolder)
        return QString();
    const FileIdentities inputFiles(inputs);
    for (const QString &target : targets) {
        if (inputFiles.contains(target))
            return u"%1 %2 on myös luettava lasku"_s.arg(facts.file, QDir::toNativeSeparators(target));
        if (QFileInfo::exists(target) && !beginsWithOneOf(target, facts.heads))
            return u"%1 on olemassa eikä se ole %2; sitä ei korvata"_s.arg(QDir::toNativeSeparators(target),
                                                                          facts.file);
    }
    return QString();
}

QString ExportSettingsRefusal(const QString &settingsPath)
{
    const QFileInfo file(settingsPath);
    if (!file.exists())
        return u"asetustiedostoa %1 ei ole; laskuttajan tiedot puuttuvat"_s.arg(
            QDir::toNativeSeparators(settingsPath));
    if (!file.isFile())
        return u"asetustiedosto %1 ei ole tavallinen tiedosto"_s.arg(QDir::toNativeSeparators(settingsPath));
    return QString();
}

QString ReminderPdfTarget(const QString &target, bool intoFolder, int number)
{
    return intoFolder ? ReminderFileStem(target, number) + factsOf(ExportKind::Pdf).suffix : target;
}

QString ReminderPdfRefusal(const QString &pdfPath)
{
    if (!QFileInfo::exists(pdfPath) && !QFileInfo(pdfPath).isSymLink())
        return QString();
    return u"%1 on jo olemassa, eikä maksumuistutuksen pdf-tiedosto korvaa sitä; muistutusta ei kirjoitettu"_s.arg(
        QDir::toNativeSeparators(pdfPath));
}

QString ExportIbanRefusal(ExportKind kind, const QString &iban, const QString &settingsPath)
{
    // Without an account a page prints with no payment codes, as the window
    // prints it; an e-invoice needs one.
    const bool printed = kind == ExportKind::Pdf || kind == ExportKind::Reminder;
    if (IsValidIban(iban) || (printed && iban.trimmed().isEmpty()))
        return QString();
    return u"laskuttajan tilinumero (IBAN) \"%1\" asetustiedostossa %2 ei ole kelvollinen"_s.arg(
        iban, QDir::toNativeSeparators(settingsPath));
}

QString CommandLineUsage()
{
    return u"Käyttö:\n"
           "  laskutus [PROFIILI]\n"
           "      Avaa laskutusikkunan; PROFIILI on asetustiedosto PROFIILI.ini.\n"
           "  laskutus LASKU.csv\n"
           "      Avaa laskutusikkunan ja siinä tallennetun laskun, kuten Nouda lasku.\n"
           "  laskutus --pdf ULOS [--profile PROFIILI] LASKU.csv...\n"
           "      Kirjoittaa tallennetut laskut pdf-tiedostoiksi ilman ikkunaa, kuten\n"
           "      Tulosta pdf. Yhdellä laskulla ULOS on pdf-tiedosto, paitsi kun se on\n"
           "      kansio tai päättyy merkkiin /; useammalla ULOS on kansio, johon kukin\n"
           "      pdf nimetään laskutiedostonsa mukaan. Samannimiset laskut eri\n"
           "      kansioista saavat kansion nimen eteen (2025/1.csv -> 2025-1.pdf).\n"
           "      Profiilin asetustiedoston on oltava olemassa ja sen IBANin oikea;\n"
           "      ilman IBANia sivulle ei tule viivakoodia eikä QR-koodia.\n"
           "      Laskutiedostoa tai muuta kuin pdf-tiedostoa ei koskaan korvata.\n"
           "      Kansioon jääneet keskeytetyn viennin väliaikaiset tiedostot\n"
           "      poistetaan, ja siitä kerrotaan.\n"
           "      Edistyminen ja virheet kerrotaan virhetulosteessa. Paluuarvo on 1,\n"
           "      jos jokin lasku epäonnistui, ja 2, jos mitään ei kirjoitettu\n"
           "      virheellisten valintojen vuoksi.\n"
           "  laskutus --finvoice ULOS [--profile PROFIILI] LASKU.csv...\n"
           "  laskutus --peppol ULOS [--profile PROFIILI] LASKU.csv...\n"
           "      Kirjoittaa tallennetut laskut verkkolaskuiksi (Finvoice 3.0 tai\n"
           "      Peppol BIS Billing 3.0, .xml) samoin säännöin kuin --pdf. Finvoice\n"
           "      saa lähetyskehyksen, kun laskuttajan tiedoissa on valittu\n"
           "      \"Finvoice lähetyskehyksellä\". Lasku, josta puuttuu verkkolaskun\n"
           "      vaatima tieto (ostajan nimi, kelvollinen IBAN tai viite, hinnallinen\n"
           "      rivi, Peppolissa osapuolten verkkolaskuosoitteet), jää kirjoittamatta\n"
           "      ja syy kerrotaan.\n"
           "  laskutus --reminder ULOS [--date P.K.VVVV] [--profile PROFIILI] LASKU.csv...\n"
           "      Kirjoittaa tallennettujen erääntyneiden laskujen maksumuistutukset\n"
           "      pdf-tiedostoiksi samoin säännöin kuin --pdf; kansioon kukin nimetään\n"
           "      muistutuksensa mukaan (57.csv -> 57-M1.pdf, seuraava 57-M2.pdf).\n"
           "      Olemassa olevaa tiedostoa ei korvata: silloin laskusta ei kirjoiteta\n"
           "      mitään ja syy kerrotaan. Muistutuksen päiväys on --date tai tämä\n"
           "      päivä. Avoin summa, maksut\n"
           "      ja aiemmat muistutukset luetaan laskun tallennuskansiosta (Maksut.csv,\n"
           "      57-M1.csv...); viivästyskorko, muistutusmaksu tai yritysasiakkaan\n"
           "      vakiokorvaus ja uusi eräpäivä lasketaan laskuttajan tiedoista.\n"
           "      Yritysasiakas on lasku, jossa on asiakkaan Y-tunnus. Kun pdf on\n"
           "      kirjoitettu, muistutus tallennetaan laskun viereen (57-M1.csv, sitten\n"
           "      57-M2.csv). Laskusta, joka ei ole erääntynyt, jolla ei ole avointa\n"
           "      summaa tai jonka kuluttaja-asiakkaan eräpäivästä ei ole kulunut %1\n"
           "      päivää, ei kirjoiteta mitään ja syy kerrotaan.\n"
           "  laskutus --list [VUOSI] [--profile PROFIILI]\n"
           "      Tulostaa tallennuskansion laskut sarkaimin erotettuina riveinä:\n"
           "      vuosi, numero, päiväys, asiakas, viite, eräpäivä, summa, maksettu,\n"
           "      avoinna, tila, muistutettu (viimeisimmän maksumuistutuksen päiväys)\n"
           "      ja perintä (viimeisimmän muistutuksen korko ja maksu, jotka sisältyvät\n"
           "      avoimeen määrään), vuoden ja laskun numeron mukaan järjestettyinä.\n"
           "      Negatiivinen avoin määrä on asiakkaalle palautettavaa (tila\n"
           "      palautettava). VUOSI rajaa luettelon sen vuoden kansioon, muiden\n"
           "      vuosien hyvitykset huomioiden. Kirjoittaa vain tallennuskansion\n"
           "      hakemiston Laskutus-hakemisto.sqlite, jonka ohjelma tekee\n"
           "      tiedostoista uudelleen, jos se puuttuu tai on vioittunut.\n"
           "      Paluuarvo on 2, jos asetustiedostoa tai tallennuskansiota ei ole.\n"
           "  laskutus --import-payments MAKSUTIEDOSTO... [--profile PROFIILI]\n"
           "      Tuo pankin maksutiedostot (camt.054 tai viitesiirto) tallennuskansion\n"
           "      tiedostoon Maksut.csv kuten Laskut-ikkunan Tuo maksut: kukin maksu\n"
           "      kohdistetaan viitteensä laskuun ja tulostetaan sarkaimin erotettuna\n"
           "      riviä. Jo tuotua maksua ei lasketa kahdesti. Vioittunut tiedosto\n"
           "      kerrotaan virhetulosteessa eikä sen maksuja tallenneta; paluuarvo 1.\n"
           "  laskutus -h | --help\n"
           "      Tämä ohje.\n"
           "  laskutus --version\n"
           "      Ohjelman versio.\n"_s.arg(kConsumerReminderDelayDays);
}

QString CommandLineVersion()
{
    return u"laskutus "_s + QStringLiteral(LASKUTUS_VERSION) + u'\n';
}
