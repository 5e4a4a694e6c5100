// The customer register at scale: loading it at start-up, completing a name
// after one keystroke, adding a customer, and the process's peak memory, for
// registers of 1,000, 10,000 and 100,000 customers. Each size runs in a child
// process of its own, so that its peak memory is its own.

#include "bench/benchutil.h"
#include "app/Unit1.h"
#include "app/reportingprompter.h"
#include "widgets/stringgrid.h"
#include "storage/collation.h"
#include "storage/cp1252.h"
#include "storage/gridline.h"
#include "storage/textfile.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};
constexpr int kLoadRuns = 7;
constexpr int kKeystrokes = 41;
constexpr int kAddRuns = 7;

const QStringList kSurnames = {
    u"Virtanen"_s, u"Korhonen"_s, u"Mäkinen"_s, u"Nieminen"_s, u"Mäkelä"_s, u"Hämäläinen"_s,
    u"Laine"_s, u"Heikkinen"_s, u"Koskinen"_s, u"Järvinen"_s, u"Lehtonen"_s, u"Lehtinen"_s,
    u"Saarinen"_s, u"Salminen"_s, u"Heinonen"_s, u"Niemi"_s, u"Heikkilä"_s, u"Kinnunen"_s,
    u"Salonen"_s, u"Turunen"_s, u"Salo"_s, u"Laitinen"_s, u"Tuominen"_s, u"Rantanen"_s,
    u"Karjalainen"_s, u"Jokinen"_s, u"Mattila"_s, u"Savolainen"_s, u"Lahtinen"_s, u"Ahonen"_s,
    u"Öhman"_s, u"Åberg"_s, u"Ylönen"_s, u"Väisänen"_s, u"Pölönen"_s, u"Kärkkäinen"_s,
    u"Leppänen"_s, u"Hiltunen"_s, u"Miettinen"_s, u"Pitkänen"_s, u"Aaltonen"_s, u"Räsänen"_s,
    u"Ojala"_s, u"Kettunen"_s, u"Anttila"_s, u"Manninen"_s, u"Nurmi"_s, u"Seppälä"_s,
    u"Mustonen"_s, u"Toivonen"_s};
const QStringList kFirstNames = {
    u"Matti"_s, u"Maija"_s, u"Juha"_s, u"Päivi"_s, u"Timo"_s, u"Sari"_s, u"Jukka"_s, u"Tiina"_s,
    u"Mikko"_s, u"Anna"_s, u"Kari"_s, u"Minna"_s, u"Antti"_s, u"Leena"_s, u"Jari"_s, u"Riitta"_s,
    u"Pekka"_s, u"Marja"_s, u"Heikki"_s, u"Sanna"_s, u"Janne"_s, u"Heli"_s, u"Ville"_s, u"Elina"_s,
    u"Markku"_s, u"Kaisa"_s, u"Jaakko"_s, u"Tuula"_s, u"Ari"_s, u"Aino"_s, u"Eero"_s, u"Helmi"_s,
    u"Lauri"_s, u"Venla"_s, u"Ilkka"_s, u"Sirpa"_s, u"Olli"_s, u"Hanna"_s, u"Esa"_s, u"Katja"_s,
    u"Tapio"_s, u"Eeva"_s, u"Jouni"_s, u"Outi"_s, u"Risto"_s, u"Satu"_s, u"Väinö"_s, u"Äini"_s,
    u"Pirkko"_s, u"Seppo"_s};
const QStringList kTrades = {
    u"Rakennus"_s, u"Putki"_s, u"Sähkö"_s, u"Kuljetus"_s, u"Maalaus"_s, u"Puutarha"_s,
    u"Tilitoimisto"_s, u"Kiinteistöhuolto"_s, u"Konepaja"_s, u"Kahvila"_s, u"Parturi"_s,
    u"Autokorjaamo"_s, u"Siivous"_s, u"Metsäpalvelu"_s, u"Lvi-asennus"_s};
const QStringList kPlaces = {
    u"Helsinki"_s, u"Espoo"_s, u"Tampere"_s, u"Turku"_s, u"Oulu"_s, u"Jyväskylä"_s, u"Kuopio"_s,
    u"Lahti"_s, u"Pori"_s, u"Joensuu"_s, u"Lappeenranta"_s, u"Hämeenlinna"_s, u"Vaasa"_s,
    u"Seinäjoki"_s, u"Rovaniemi"_s, u"Mikkeli"_s, u"Kotka"_s, u"Salo"_s, u"Porvoo"_s, u"Kokkola"_s,
    u"Hyvinkää"_s, u"Järvenpää"_s, u"Äänekoski"_s, u"Raahe"_s, u"Kajaani"_s};
const QStringList kForms = {u"Oy"_s, u"Ky"_s, u"Tmi"_s, u"Ay"_s};
const QStringList kStreets = {u"Kuusitie"_s, u"Mäntykatu"_s, u"Koivukuja"_s, u"Satamakatu"_s,
                              u"Rantatie"_s, u"Pajakuja"_s, u"Myllytie"_s, u"Kirkkokatu"_s};

template <typename T>
const T &pick(QRandomGenerator &random, const QList<T> &list)
{
    return list[random.bounded(int(list.size()))];
}

// A person ("Surname Firstname Middlename") or a firm ("Trade Surname Place Form").
QString customerName(QRandomGenerator &random)
{
    if (random.bounded(2) == 0)
        return pick(random, kSurnames) + u' ' + pick(random, kFirstNames) + u' ' + pick(random, kFirstNames);
    return pick(random, kTrades) + u' ' + pick(random, kSurnames) + u' ' + pick(random, kPlaces) + u' '
        + pick(random, kForms);
}

// Register lines as the program writes them: in name order, numbered 1 to n.
QStringList registerLines(int customers, QStringList &names)
{
    QRandomGenerator random(20261207);
    QSet<QString> seen;
    QList<QStringList> rows;
    while (rows.size() < customers) {
        const QString name = customerName(random);
        if (seen.contains(name.toCaseFolded()))
            continue;
        seen.insert(name.toCaseFolded());
        const int number = int(rows.size()) + 1;
        rows.append({name, pick(random, kStreets) + u' ' + QString::number(random.bounded(1, 120)),
                     QString::number(random.bounded(100, 99999)).rightJustified(5, u'0') + u' '
                         + pick(random, kPlaces).toUpper(),
                     QString(), QString::number(random.bounded(1000000, 9999999)) + u'-' + QString::number(number % 10),
                     QString::number(number)});
    }
    SortRegisterRows(rows);
    QStringList lines;
    for (const QStringList &row : rows) {
        names.append(row[0]);
        AppendCellsLine(row, lines, false);
    }
    return lines;
}

void typeCharacter(QWidget *target, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(target, &release);
}

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int runSize(int customers)
{
    QTemporaryDir program;
    QTemporaryDir data;
    QStringList names;
    WriteTextLines(data.filePath(u"AsiakRek.csv"_s), registerLines(customers, names));
    {
        QFile settings(program.filePath(u"laskutus.INI"_s));
        if (!settings.open(QIODevice::WriteOnly))
            return 1;
        settings.write(stringToCp1252(u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(data.path())
                                      + QDir::separator() + u"\r\n"_s));
    }

    TForm1 form(StartupOptions{program.filePath(u"laskutus"_s), {}}, std::make_unique<ReportingPrompter>(out()));
    form.show();
    QCoreApplication::processEvents();
    if (form.AsiakRekisteri1->rowCount() != customers + 2) {
        out() << "register did not load: " << form.AsiakRekisteri1->rowCount() << " rows" << Qt::endl;
        return 1;
    }

    // Start-up's step: the whole register read, sorted and shown in its grid.
    QList<qint64> load;
    for (int i = 0; i < kLoadRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        form.LoadCustomerRegister();
        load.append(timer.nsecsElapsed());
    }

    // One key in the name box: lookup, completion and the customer block filled.
    QRandomGenerator random(7);
    QComboBox *box = form.AsiakNimi1;
    box->setFocus();
    QList<qint64> keystroke;
    int completed = 0;
    for (int i = 0; i < kKeystrokes; ++i) {
        const QString &name = names[random.bounded(int(names.size()))];
        box->lineEdit()->clear();
        for (QChar c : name.left(3))
            typeCharacter(box, c);
        QElapsedTimer timer;
        timer.start();
        typeCharacter(box, name[3]);
        keystroke.append(timer.nsecsElapsed());
        if (box->currentText().left(4).compare(name.left(4), Qt::CaseInsensitive) == 0
            && !form.AsiakNro1->text().isEmpty())
            ++completed;
    }

    // Saving an invoice for a new customer: re-sort, number and write the register.
    QList<qint64> add;
    for (int i = 0; i < kAddRuns; ++i) {
        form.FillingCustomer = true;
        box->setEditText(u"Uusi Asiakas "_s + QString::number(i));
        form.FillingCustomer = false;
        form.AsiakOsoite1->setCell(kBlockTextColumn, CustomerAddress1Line, u"Satamakatu 3"_s);
        QElapsedTimer timer;
        timer.start();
        form.RegisterInvoiceCustomer();
        add.append(timer.nsecsElapsed());
    }
    const bool added = form.AsiakRekisteri1->rowCount() == customers + kAddRuns + 2;

    QElapsedTimer dropDown;
    dropDown.start();
    form.AsiakNimi1DropDown();
    const double dropDownMs = double(dropDown.nsecsElapsed()) / 1e6;

    out() << QString::number(customers).rightJustified(9) << u"  load "_s
          << QString::number(median(load) / 1e6, 'f', 1).rightJustified(7) << u" ms  keystroke "_s
          << QString::number(median(keystroke) / 1e6, 'f', 3).rightJustified(7) << u" ms  add "_s
          << QString::number(median(add) / 1e6, 'f', 1).rightJustified(7) << u" ms  peak "_s
          << QString::number(peakMemoryKb() / 1024.0, 'f', 1).rightJustified(6) << u" MiB"_s
          << u"  (first drop-down "_s << QString::number(dropDownMs, 'f', 1) << u" ms; completed "_s
          << completed << u"/"_s << kKeystrokes << (added ? u""_s : u"; ADD FAILED"_s) << u")"_s
          << Qt::endl;
    return completed == kKeystrokes && added ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        return runSize(arguments[1].toInt());

    out() << u"Customer register, medians (load "_s << kLoadRuns << u" runs, keystroke "_s << kKeystrokes
          << u", add "_s << kAddRuns << u"); budgets at 100,000: load < 1000 ms, keystroke < 20 ms, "
                                       u"add < 1500 ms"_s << Qt::endl;
    int failures = 0;
    for (int customers : kSizes) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        child.start(QCoreApplication::applicationFilePath(), {QString::number(customers)});
        if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            out() << customers << u": run failed"_s << Qt::endl;
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
