// Reading the command line: the window's profile or a batch PDF export.

#include "commandline.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

CommandLine ParseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    if (arguments.contains(u"--help"_s)) {
        line.help = true;
        return line;
    }
    if (!arguments.contains(u"--pdf"_s)) {
        line.startArguments = arguments;
        return line;
    }
    line.exportPdf = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--pdf" || argument == u"--profile") {
            if (i + 1 >= arguments.size()) {
                line.error = u"%1 tarvitsee arvon"_s.arg(argument);
                return line;
            }
            const QString value = arguments[++i];
            if (argument == u"--pdf")
                line.output = value;
            else
                line.startArguments = QStringList{value};
        } else if (argument.startsWith(u"--")) {
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

QString PdfTargetFor(const QString &output, const QString &input, bool severalInputs)
{
    if (!severalInputs)
        return output;
    return QDir(output).filePath(QFileInfo(input).completeBaseName() + u".pdf"_s);
}

QString CommandLineUsage()
{
    return u"Käyttö:\n"
           "  laskutus [PROFIILI]\n"
           "      Avaa laskutusikkunan; PROFIILI on asetustiedosto PROFIILI.ini.\n"
           "  laskutus --pdf ULOS [--profile PROFIILI] LASKU.csv...\n"
           "      Kirjoittaa tallennetut laskut pdf-tiedostoiksi ilman ikkunaa, kuten\n"
           "      Tulosta pdf. Yhdellä laskulla ULOS on pdf-tiedosto, useammalla kansio,\n"
           "      johon kukin pdf nimetään laskutiedostonsa mukaan. Edistyminen ja\n"
           "      virheet kerrotaan virhetulosteessa; jos jokin lasku epäonnistuu,\n"
           "      paluuarvo on 1.\n"
           "  laskutus --help\n"
           "      Tämä ohje.\n"_s;
}
