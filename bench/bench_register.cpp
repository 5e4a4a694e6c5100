// The customer register at scale: loading it, completing a name after one
// keystroke, adding a customer, and the process's peak memory, for registers
// of 1,000, 10,000 and 100,000 customers, each against a floor that reads and
// sorts the same file with the standard library; then the window's start-up
// with 100,000 customers against start-up without a register. Each size runs
// in a child process of its own, so that its peak memory is its own.

#include "tests/support/registerreference.h"
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
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};
constexpr int kLoadRuns = 7;
constexpr int kKeystrokes = 41;
constexpr int kAddRuns = 7;
constexpr int kFloorRuns = 7;
constexpr int kStartupRuns = 21;
constexpr int kStartupCustomers = 100000;

// Budgets.
constexpr double kLoadBudgetMs = 100;      // 100,000 customers
constexpr double kAddBudgetMs = 50;        // 100,000 customers
constexpr double kSmallAddBudgetMs = 10;   // 10,000 customers
constexpr double kPeakBudgetMiB = 80;      // 100,000 customers
constexpr double kStartupBudget = 1.2;     // start-up with 100,000 against without

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
QStringList registerLines(int customers)
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
    for (const QStringList &row : rows)
        AppendCellsLine(row, lines, false);
    return lines;
}

// A save folder with a register of that many customers, and a program folder
// whose settings name it.
struct Folders
{
    QTemporaryDir program;
    QTemporaryDir data;
};

bool writeSettings(const QString &path, const QString &dataFolder)
{
    QFile settings(path);
    if (!settings.open(QIODevice::WriteOnly))
        return false;
    settings.write(stringToCp1252(u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(dataFolder) + QDir::separator()
                                  + u"\r\n"_s));
    return true;
}

void typeCharacter(QWidget *target, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(target, &release);
}

// The process's peak resident memory (VmHWM: unlike ru_maxrss, not carried
// over from the parent that started it).
double peakMemoryMiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// The floor: the standard library reads the file whole, cuts it into lines
// and sorts them.
std::vector<std::string> floorLoad(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << file.rdbuf();
    const std::string text = buffer.str();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.emplace_back(text, start, end - start);
        start = end + 2;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The floor of adding: one line put in its place by a binary search, and the
// file written in one pass and synced through a temporary file, as the
// program replaces it.
bool floorAdd(std::vector<std::string> &lines, const std::string &line, const std::string &path)
{
    lines.insert(std::lower_bound(lines.begin(), lines.end(), line), line);
    std::string text;
    size_t size = 0;
    for (const std::string &l : lines)
        size += l.size() + 2;
    text.reserve(size);
    for (const std::string &l : lines) {
        text += l;
        text += "\r\n";
    }
    const std::string temporary = path + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size()) && ::fsync(fd) == 0;
    ::close(fd);
    return written && std::rename(temporary.c_str(), path.c_str()) == 0;
}

QString ms(double nanoseconds)
{
    return QString::number(nanoseconds / 1e6, 'f', 1);
}

QString verdict(double value, double budget)
{
    return value <= budget ? u"within"_s : u"OVER"_s;
}

// The floor in a process of its own: its times and its peak memory.
int runFloor(const QString &path)
{
    const std::string file = path.toStdString();
    QList<qint64> load;
    std::vector<std::string> lines;
    for (int i = 0; i < kFloorRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        lines = floorLoad(file);
        load.append(timer.nsecsElapsed());
    }
    QList<qint64> add;
    for (int i = 0; i < kFloorRuns; ++i) {
        const std::string line = "\"Uusi Asiakas " + std::to_string(i) + "\",\"Satamakatu 3\",\" \",\" \",\" \"," +
                                 std::to_string(lines.size() + 1);
        QElapsedTimer timer;
        timer.start();
        if (!floorAdd(lines, line, file))
            return 1;
        add.append(timer.nsecsElapsed());
    }
    out() << median(load) << u' ' << median(add) << u' ' << peakMemoryMiB() << Qt::endl;
    return 0;
}

// The program in a process of its own, on the register its settings name.
int runProgram(int customers, const QString &programFolder)
{
    TForm1 form(StartupOptions{QDir(programFolder).filePath(u"laskutus"_s), {}},
                std::make_unique<ReportingPrompter>(out()));
    form.show();
    form.WaitForRegister();
    QCoreApplication::processEvents();
    if (form.AsiakRekisteri1->rowCount() != customers + 2) {
        out() << "register did not load: " << form.AsiakRekisteri1->rowCount() << " rows" << Qt::endl;
        return 1;
    }

    // What start-up does: the whole register read, sorted and shown in its grid.
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
        const QString name = form.AsiakRekisteri1->cell(NameColumn, 1 + random.bounded(customers));
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

    // Saving an invoice for a new customer: placed, numbered and the register written.
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

    out() << median(load) << u' ' << median(keystroke) << u' ' << median(add) << u' ' << peakMemoryMiB() << u' '
          << dropDownMs << u' ' << completed << u' ' << (added ? 1 : 0) << Qt::endl;
    return completed == kKeystrokes && added ? 0 : 1;
}

// A child's one line of figures.
std::optional<QList<double>> childFigures(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        out() << arguments.join(u' ') << u": run failed: "_s << child.readAllStandardOutput() << Qt::endl;
        return std::nullopt;
    }
    QList<double> figures;
    const QByteArrayList fields = child.readAllStandardOutput().trimmed().split(' ');
    for (const QByteArray &field : fields)
        figures.append(field.toDouble());
    return figures;
}

bool benchSize(int customers)
{
    Folders folders;
    WriteTextLines(folders.data.filePath(u"AsiakRek.csv"_s), registerLines(customers));
    if (!writeSettings(folders.program.filePath(u"laskutus.INI"_s), folders.data.path()))
        return false;
    const auto program = childFigures({u"program"_s, QString::number(customers), folders.program.path()});
    const auto floor = childFigures({u"floor"_s, folders.data.filePath(u"AsiakRek.csv"_s)});
    if (!program || program->size() < 7 || !floor || floor->size() < 3)
        return false;
    const double load = program->at(0);
    const double add = program->at(2);
    const double peak = program->at(3);
    const qint64 bytes = QFileInfo(folders.data.filePath(u"AsiakRek.csv"_s)).size();
    out() << QString::number(customers).rightJustified(7) << u" customers ("_s
          << QString::number(double(bytes) / 1e6, 'f', 1) << u" MB)\n"_s;
    out() << u"  load       "_s << ms(load).rightJustified(7) << u" ms   floor "_s << ms(floor->at(0)).rightJustified(6)
          << u" ms   ratio "_s << QString::number(load / floor->at(0), 'f', 2);
    if (customers == 100000)
        out() << u"   budget "_s << kLoadBudgetMs << u" ms, "_s << verdict(load / 1e6, kLoadBudgetMs);
    out() << u"\n  add        "_s << ms(add).rightJustified(7) << u" ms   floor "_s << ms(floor->at(1)).rightJustified(6)
          << u" ms   ratio "_s << QString::number(add / floor->at(1), 'f', 2);
    if (customers == 100000)
        out() << u"   budget "_s << kAddBudgetMs << u" ms, "_s << verdict(add / 1e6, kAddBudgetMs);
    if (customers == 10000)
        out() << u"   budget "_s << kSmallAddBudgetMs << u" ms, "_s << verdict(add / 1e6, kSmallAddBudgetMs);
    out() << u"\n  peak memory"_s << QString::number(peak, 'f', 1).rightJustified(7) << u" MiB  floor "_s
          << QString::number(floor->at(2), 'f', 1).rightJustified(6) << u" MiB"_s;
    if (customers == 100000)
        out() << u"                budget "_s << kPeakBudgetMiB << u" MiB, "_s << verdict(peak, kPeakBudgetMiB);
    out() << u"\n  keystroke  "_s << QString::number(program->at(1) / 1e6, 'f', 3).rightJustified(7)
          << u" ms   (first drop-down "_s << QString::number(program->at(4), 'f', 1) << u" ms; completed "_s
          << int(program->at(5)) << u"/"_s << kKeystrokes << u")"_s << Qt::endl;
    return true;
}

// Start-up to the shown window, whole process, with the large register in
// the save folder against an empty save folder, run in turn.
bool benchStartup()
{
    const QString probe = QString::fromUtf8(BENCH_PROBE_PATH);
    const QString settingsName = QFileInfo(probe).completeBaseName() + u".INI"_s;
    Folders with;
    Folders without;
    WriteTextLines(with.data.filePath(u"AsiakRek.csv"_s), registerLines(kStartupCustomers));
    if (!writeSettings(with.program.filePath(settingsName), with.data.path())
        || !writeSettings(without.program.filePath(settingsName), without.data.path()))
        return false;
    if (!timeChild(probe, {with.program.path()}) || !timeChild(probe, {without.program.path()}))
        return false;
    QList<qint64> withTimes;
    QList<qint64> withoutTimes;
    for (int i = 0; i < kStartupRuns; ++i) {
        const auto withTime = timeChild(probe, {with.program.path()});
        const auto withoutTime = timeChild(probe, {without.program.path()});
        if (!withTime || !withoutTime)
            return false;
        withTimes.append(*withTime);
        withoutTimes.append(*withoutTime);
    }
    // Until the register is in as well, for what the window's user waits for it.
    QList<qint64> readyTimes;
    for (int i = 0; i < kStartupRuns; ++i) {
        const auto readyTime = timeChild(probe, {with.program.path(), u"register"_s});
        if (!readyTime)
            return false;
        readyTimes.append(*readyTime);
    }
    const double ratio = median(withTimes) / median(withoutTimes);
    out() << u"Start-up to the shown window, median of "_s << kStartupRuns << u": with "_s << kStartupCustomers
          << u" customers "_s << ms(median(withTimes)) << u" ms, without "_s << ms(median(withoutTimes))
          << u" ms, ratio "_s << QString::number(ratio, 'f', 2) << u" (budget "_s << kStartupBudget << u", "_s
          << verdict(ratio, kStartupBudget) << u"); the register is in after "_s << ms(median(readyTimes))
          << u" ms"_s << Qt::endl;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 3 && arguments[1] == u"program")
        return runProgram(arguments[2].toInt(), arguments[3]);
    if (arguments.size() > 2 && arguments[1] == u"floor")
        return runFloor(arguments[2]);

    out() << u"Customer register, medians (load "_s << kLoadRuns << u" runs, keystroke "_s << kKeystrokes
          << u", add "_s << kAddRuns << u"); floor: the standard library reads, cuts and sorts the file, and "
                                       u"puts a line in place and writes the file"_s << Qt::endl;
    int failures = 0;
    for (int customers : kSizes) {
        if (!benchSize(customers))
            ++failures;
    }
    if (!benchStartup())
        ++failures;
    return failures == 0 ? 0 : 1;
}
