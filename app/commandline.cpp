// Reading the command line: the window's profile or invoice, or a batch PDF
// export, and where the export may write.

#include "commandline.h"

#include "output/epcqr.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {

const QString kPdf = u"--pdf"_s;
const QString kProfile = u"--profile"_s;

bool isOption(const QString &argument)
{
    return argument.startsWith(u'-');
}

CommandLine parseExport(const QStringList &arguments)
{
    CommandLine line;
    line.exportPdf = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == kPdf || argument == kProfile) {
            if (i + 1 >= arguments.size()) {
                line.error = u"%1 tarvitsee arvon"_s.arg(argument);
                return line;
            }
            const QString value = arguments[++i];
            if (argument == kPdf)
                line.output = value;
            else
                line.startArguments = QStringList{value};
        } else if (isOption(argument)) {
            line.error = u"tuntematon valinta %1"_s.arg(argument);
            return line;
        } else {
            line.inputs.append(argument);
        }
    }
    if (line.inputs.isEmpty())
        line.error = u"yhtään laskutiedostoa ei annettu"_s;
    return line;
}

bool endsWithSeparator(const QString &path)
{
    return path.endsWith(u'/') || path.endsWith(QDir::separator());
}

bool isSameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

// Only a regular file is read: a FIFO of that name would never end.
bool isPdfFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
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
    if (arguments.contains(kPdf))
        return parseExport(arguments);
    for (const QString &argument : arguments) {
        if (argument == kProfile) {
            line.error = u"%1 kuuluu vientiin valinnalla %2"_s.arg(kProfile, kPdf);
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

bool PdfOutputIsFolder(const QString &output, qsizetype inputCount, bool outputIsExistingFolder)
{
    return inputCount > 1 || outputIsExistingFolder || endsWithSeparator(output);
}

PdfTargets PdfTargetsFor(const QString &output, const QStringList &inputs, bool intoFolder)
{
    if (!intoFolder)
        return {QStringList(inputs.size(), output), QString()};
    const auto key = [](const QString &name) { return name.toCaseFolded(); };
    QHash<QString, int> uses;
    for (const QString &input : inputs)
        ++uses[key(QFileInfo(input).completeBaseName())];

    PdfTargets result;
    QHash<QString, QString> takenBy;
    for (const QString &input : inputs) {
        const QFileInfo file(input);
        QString name = file.completeBaseName();
        if (uses.value(key(name)) > 1)
            name = file.absoluteDir().dirName() + u'-' + name;
        const QString target = QDir(output).filePath(name + u".pdf"_s);
        if (const QString other = takenBy.value(key(name)); !other.isEmpty()) {
            result.error = u"laskut %1 ja %2 saisivat saman pdf-tiedoston %3"_s.arg(
                QDir::toNativeSeparators(other), QDir::toNativeSeparators(input), QDir::toNativeSeparators(target));
            result.targets.clear();
            return result;
        }
        takenBy.insert(key(name), input);
        result.targets.append(target);
    }
    return result;
}

QString PdfTargetsRefusal(const QString &output, bool intoFolder, const QStringList &inputs,
                          const QStringList &targets)
{
    if (!intoFolder && output.endsWith(u".csv"_s, Qt::CaseInsensitive))
        return u"pdf-tiedoston nimi %1 päättyy .csv, joten se korvaisi laskutiedoston"_s.arg(
            QDir::toNativeSeparators(output));
    for (const QString &target : targets) {
        for (const QString &input : inputs) {
            if (isSameFile(target, input))
                return u"pdf-tiedosto %1 on myös luettava lasku"_s.arg(QDir::toNativeSeparators(target));
        }
        if (QFileInfo::exists(target) && !isPdfFile(target))
            return u"%1 on olemassa eikä se ole pdf-tiedosto; sitä ei korvata"_s.arg(
                QDir::toNativeSeparators(target));
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

QString ExportIbanRefusal(const QString &iban, const QString &settingsPath)
{
    if (IsValidIban(iban))
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
           "      Profiilin asetustiedoston on oltava olemassa ja sen IBANin oikea.\n"
           "      Laskutiedostoa tai muuta kuin pdf-tiedostoa ei koskaan korvata.\n"
           "      Edistyminen ja virheet kerrotaan virhetulosteessa. Paluuarvo on 1,\n"
           "      jos jokin lasku epäonnistui, ja 2, jos mitään ei kirjoitettu\n"
           "      virheellisten valintojen vuoksi.\n"
           "  laskutus -h | --help\n"
           "      Tämä ohje.\n"
           "  laskutus --version\n"
           "      Ohjelman versio.\n"_s;
}

QString CommandLineVersion()
{
    return u"laskutus "_s + QStringLiteral(LASKUTUS_VERSION) + u'\n';
}
