// Large and damaged inputs: start-up with a register of blank lines, of random
// bytes and of many real customers; opening invoice files and pasting rows of
// the same kinds; pasting shopping-cart listings of 10 MB. Each case runs in a child process of its own, so that the
// peak memory printed is that case's own.

#include "bench/benchutil.h"
#include "app/Unit1.h"
#include "widgets/stringgrid.h"
#include "storage/cp1252.h"
#include "storage/gridline.h"
#include "storage/textfile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>


using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kDamagedBytes = 50 * 1000 * 1000;

// Answers the open dialog with one file and prints every message.
class BenchPrompter : public Prompter
{
public:
    explicit BenchPrompter(QString openPath)
        : m_openPath(std::move(openPath))
    {
    }

    void message(QWidget *, const QString &text) override { messages.append(text); }
    bool question(QWidget *, const QString &) override { return false; }
    std::optional<QString> inputText(QWidget *, const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const HiddenFiles &) override
    {
        return m_openPath;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QStringList &, qsizetype *) override
    {
        return QString();
    }
    QString existingFolder(QWidget *, const QString &, const QString &) override { return QString(); }
    bool confirmTable(QWidget *, const QString &, const QString &, const QStringList &, const QList<QStringList> &,
                      const QString &) override
    {
        return false;
    }
    std::optional<QFont> font(QWidget *, const QFont &) override { return std::nullopt; }
    bool choosePrinter(QWidget *, QPrinter &) override { return false; }
    QDate today() const override { return QDate(2026, 12, 7); }

    QStringList messages;

private:
    QString m_openPath;
};

enum class Input { Register, Invoice, Paste, CartPaste };

struct Case
{
    const char *name;
    Input input;
    const char *file;
};

constexpr Case kCases[] = {
    {"start-up, no register (baseline)", Input::Register, nullptr},
    {"start-up, register of 50 MB blank lines", Input::Register, "blank.csv"},
    {"start-up, register of 50 MB random bytes", Input::Register, "random.csv"},
    {"start-up, register of 100,000 customers", Input::Register, "customers100k.csv"},
    {"start-up, register of 500,000 customers", Input::Register, "customers500k.csv"},
    {"start-up, register with a 50 MB line", Input::Register, "oneline.csv"},
    {"open invoice of 50 MB blank lines", Input::Invoice, "invoice-blank.csv"},
    {"open invoice with a 50 MB line", Input::Invoice, "oneline.csv"},
    {"open invoice with a 50 MB text", Input::Invoice, "longtext.csv"},
    {"open invoice of 50 MB random bytes", Input::Invoice, "random.csv"},
    {"paste 50 MB blank lines", Input::Paste, "blank.csv"},
    {"paste 50 MB random bytes", Input::Paste, "random.csv"},
    {"shopping cart of 10 MB item lines", Input::CartPaste, "cart-items.txt"},
    {"shopping cart of 10 MB other lines", Input::CartPaste, "cart-other.txt"},
    {"shopping cart with a 10 MB name", Input::CartPaste, "cart-name.txt"},
};

// The high-water mark of this process's own memory. Not getrusage(): its peak
// carries over the parent's memory from before the child was started.
long peakMemoryKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Customers as the program writes them, already in name order.
QByteArray customerRegister(int customers)
{
    QStringList lines;
    lines.reserve(customers);
    for (int i = 1; i <= customers; ++i) {
        const QString number = QString::number(i).rightJustified(6, u'0');
        AppendCellsLine({u"Asiakas "_s + number + u" Oy"_s, u"Satamakatu "_s + QString::number(i % 120 + 1),
                         number.right(5) + u" HELSINKI"_s, QString(), u"1234567-"_s + QString::number(i % 10),
                         QString::number(i)},
                        lines, false);
    }
    return stringToCp1252(lines.join(u"\r\n"_s) + u"\r\n"_s);
}

// A listing of about 10 MB: the mark, a customer, then the lines given.
QByteArray cartListing(const QByteArray &name, const QByteArray &line)
{
    constexpr qsizetype kCartBytes = 10 * 1000 * 1000;
    return "OSTOSKORI\r\n" + name + "\r\nKatu 1\r\n00100 HELSINKI\r\n" + line.repeated(kCartBytes / line.size());
}

bool writeInputs(const QDir &folder)
{
    QByteArray random(kDamagedBytes, Qt::Uninitialized);
    QRandomGenerator generator(20261207);
    generator.fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / sizeof(quint32));
    const QByteArray blank = QByteArray("\r\n").repeated(kDamagedBytes / 2);
    const QByteArray invoiceHead = "\"5\",\"1.2.2026\",\"1009\",\"\",\"\"\r\n\"Oy Ab\",Katu,\" \",\" \"\r\n";
    const QByteArray oneLine = QByteArray("x,").repeated(kDamagedBytes / 2) + "\r\nYritys\r\n";
    return writeFile(folder.filePath(u"blank.csv"_s), blank) && writeFile(folder.filePath(u"random.csv"_s), random)
        && writeFile(folder.filePath(u"oneline.csv"_s), oneLine)
        && writeFile(folder.filePath(u"longtext.csv"_s), invoiceHead + "\" \"," + QByteArray(kDamagedBytes, 'x'))
        && writeFile(folder.filePath(u"invoice-blank.csv"_s), invoiceHead + blank)
        && writeFile(folder.filePath(u"customers100k.csv"_s), customerRegister(100000))
        && writeFile(folder.filePath(u"customers500k.csv"_s), customerRegister(500000))
        && writeFile(folder.filePath(u"cart-items.txt"_s), cartListing("Asiakas", "100123\tKahvi 500 g\t2\t3,50\r\n"))
        && writeFile(folder.filePath(u"cart-other.txt"_s), cartListing("Asiakas", "Toimitus\t0,00\r\n"))
        && writeFile(folder.filePath(u"cart-name.txt"_s), cartListing(QByteArray(10000000, 'x'), "1\tx\t1\t1\r\n"));
}

int runCase(int index, const QString &inputs)
{
    const Case &c = kCases[index];
    QTemporaryDir program;
    QTemporaryDir data;
    const QString input = c.file ? QDir(inputs).filePath(QString::fromLatin1(c.file)) : QString();
    if (c.input == Input::Register && c.file)
        QFile::copy(input, data.filePath(u"AsiakRek.csv"_s));
    writeFile(program.filePath(u"laskutus.INI"_s),
              stringToCp1252(u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(data.path()) + QDir::separator()
                             + u"\r\n[ClipBoard]\r\nPasteType=OSTOSKORI\r\n"_s));

    QElapsedTimer timer;
    timer.start();
    auto prompter = std::make_unique<BenchPrompter>(input);
    BenchPrompter &answers = *prompter;
    TForm1 form(StartupOptions{program.filePath(u"laskutus"_s), {}}, std::move(prompter));
    form.show();
    // A large register is read while the window is shown: the step ends when it is in.
    form.WaitForRegister();
    QCoreApplication::processEvents();
    if (c.input == Input::Invoice) {
        timer.restart();
        form.Noudalasku1->trigger();
        QCoreApplication::processEvents();
    } else if (c.input == Input::Paste || c.input == Input::CartPaste) {
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        QApplication::clipboard()->setText(cp1252ToString(file.readAll()));
        timer.restart();
        QAction *paste = c.input == Input::Paste ? form.Paste2 : form.Paste1;
        paste->setEnabled(true);
        paste->trigger();
        QCoreApplication::processEvents();
    }
    const qint64 elapsed = timer.elapsed();

    const StringGrid *grid = c.input == Input::Register ? form.AsiakRekisteri1 : form.LaskuRivit1;
    out() << QString::fromLatin1(c.name).leftJustified(44) << QString::number(elapsed).rightJustified(7)
          << u" ms  peak "_s << QString::number(peakMemoryKb() / 1024.0, 'f', 0).rightJustified(5)
          << u" MiB  grid rows "_s << grid->rowCount();
    for (const QString &text : std::as_const(answers.messages))
        out() << u"\n    message: "_s << text;
    out() << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 2)
        return runCase(arguments[1].toInt(), arguments[2]);

    QTemporaryDir inputs;
    if (!inputs.isValid() || !writeInputs(QDir(inputs.path()))) {
        out() << "could not write the inputs" << Qt::endl;
        return 1;
    }
    out() << u"Large and damaged inputs: time of the step, peak memory of the whole process"_s << Qt::endl;
    int failures = 0;
    for (int i = 0; i < int(std::size(kCases)); ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        child.start(QCoreApplication::applicationFilePath(), {QString::number(i), inputs.path()});
        if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            out() << kCases[i].name << u": run failed"_s << Qt::endl;
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
