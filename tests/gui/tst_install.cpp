// An installed program keeps the user's settings and invoices in the user's
// folders and finds its help in the data folder; a copy in a folder of its
// own keeps them beside itself. The installation carries manual pages in
// English and Finnish, the copyright and the changelog in the forms Debian
// reads, AppStream data that names what the program does, and a desktop
// entry that opens a saved invoice.

#include "app/Unit1.h"
#include "app/commandline.h"
#include "storage/ledger.h"
#include "tests/support/scriptedprompter.h"
#include "tests/support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

class InstallTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void filesGoWhereTheUserMayWrite_data();
    void filesGoWhereTheUserMayWrite();
    void manualPageDescribesEveryOption_data();
    void manualPageDescribesEveryOption();
    void listColumnsAreExplained();
    void copyrightIsMachineReadable();
    void changelogIsDebianChangelog();
    void packageNamesWhatProgramDoes_data();
    void packageNamesWhatProgramDoes();
    void desktopEntryOpensSavedInvoice();

private:
    QString installed(const QString &path) const { return QDir(m_prefix.path()).filePath(path); }

    // What `cmake --install` puts into a prefix of its own.
    QTemporaryDir m_prefix;
};

namespace {

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun run(const QString &program, const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess process;
    process.start(program, arguments);
    ToolRun result;
    if (!process.waitForStarted()) {
        result.err = "cannot start " + program.toLocal8Bit();
        return result;
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// A file compressed as Debian wants it, with gzip -9n: the best compression,
// and neither the file's name nor a time, so that every build gives the same
// bytes. Gives the contents.
QByteArray debianGunzip(const QString &path)
{
    const QByteArray gz = readBytes(path);
    const auto fail = [&](const char *why) {
        QTest::qFail(qPrintable(path + u": "_s + QString::fromLatin1(why)), __FILE__, __LINE__);
        return QByteArray();
    };
    if (gz.size() < 18 || !gz.startsWith("\x1f\x8b\x08"))
        return fail("not gzip");
    if (gz[3] & 0x08)
        return fail("holds a file name");
    if (gz.mid(4, 4) != QByteArray(4, '\0'))
        return fail("holds a time");
    if (gz[8] != 2)
        return fail("not compressed with -9");
    const ToolRun gunzip = run(u"gzip"_s, {u"-dc"_s}, gz);
    if (gunzip.exitCode != 0)
        return fail("does not decompress");
    return gunzip.out;
}

// A manual page as man shows it: groff's warnings (what lintian reports of a
// page) fail the test, and the text comes without its bold and underlining.
QString renderedManualPage(const QByteArray &page)
{
    // -k reads the page's UTF-8 text, as man does.
    const ToolRun check = run(u"groff"_s, {u"-k"_s, u"-man"_s, u"-Tutf8"_s, u"-ww"_s, u"-z"_s}, page);
    if (check.exitCode != 0 || !check.err.isEmpty()) {
        QTest::qFail(check.err.constData(), __FILE__, __LINE__);
        return QString();
    }
    const ToolRun render = run(u"groff"_s, {u"-k"_s, u"-man"_s, u"-Tutf8"_s, u"-P-cbou"_s}, page);
    QString text = QString::fromUtf8(render.out);
    text.replace(QChar(0x2212), u'-').replace(QChar(0x2010), u'-');
    return text;
}

// The text of the installed AppStream description in a language: "" for
// English, "fi" for Finnish.
QString metainfoDescription(const QString &path, const QString &language)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QXmlStreamReader xml(&file);
    QString text;
    bool inDescription = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"description"_s)
            inDescription = true;
        else if (xml.isEndElement() && xml.name() == u"description"_s)
            inDescription = false;
        else if (inDescription && xml.isStartElement() && xml.attributes().value(u"xml:lang"_s) == language
                 && (xml.name() == u"p"_s || xml.name() == u"li"_s))
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements) + u'\n';
    }
    return xml.hasError() ? xml.errorString() : text;
}

} // namespace

void InstallTest::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    // Naming the component keeps the build's install_manifest.txt, which
    // lists a real installation's files for removing them, as it is.
    const ToolRun install = run(u"" LASKUTUS_CMAKE ""_s, {u"--install"_s, u"" LASKUTUS_BUILD_DIR ""_s, u"--prefix"_s,
                                                         m_prefix.path(), u"--component"_s, u"Unspecified"_s});
    QVERIFY2(install.exitCode == 0, install.err.constData());
}

void InstallTest::filesGoWhereTheUserMayWrite_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("saveFolder");
    QTest::addColumn<QString>("help");
    // usr/bin is never made: like /usr/bin for a user, nothing can be written there.
    QTest::newRow("installed") << u"usr/bin/laskutus"_s << QStringList() << u"home/.config/Laskutus/laskutus.INI"_s
                               << u"home/Documents/"_s << u"usr/share/laskutus/laskutus.html"_s;
    QTest::newRow("installed, profile") << u"usr/bin/laskutus"_s << QStringList{u"firma2"_s}
                                        << u"home/.config/Laskutus/firma2.ini"_s << u"home/Documents/"_s
                                        << u"usr/share/laskutus/laskutus.html"_s;
    QTest::newRow("copy in a folder of its own") << u"own/laskutus"_s << QStringList() << u"own/laskutus.INI"_s
                                                 << u"home/Documents/"_s << u"own/laskutus.html"_s;
}

void InstallTest::filesGoWhereTheUserMayWrite()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, settings);
    QFETCH(QString, saveFolder);
    QFETCH(QString, help);
    // A made-up machine with a home folder of its own: no real user's file is touched.
    QTemporaryDir root;
    const QDir machine(root.path());
    machine.mkpath(u"own"_s);
    machine.mkpath(u"usr/share/laskutus"_s);
    writeBytes(machine.filePath(help), "<html>ohje</html>");
    qputenv("HOME", machine.filePath(u"home"_s).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", machine.filePath(u"home/.config"_s).toLocal8Bit());
    // As the program names itself, which names the configuration folder.
    QCoreApplication::setApplicationName(u"Laskutus"_s);

    auto prompter = std::make_unique<ScriptedPrompter>();
    prompter->answerFolder(QString());
    TForm1 form(StartupOptions{machine.filePath(program), arguments}, std::move(prompter));
    QCOMPARE(form.IniFileName, QDir::toNativeSeparators(machine.filePath(settings)));
    QCOMPARE(form.HelpFileName, QDir::toNativeSeparators(machine.filePath(help)));

    form.AskSaveFolder();
    QCOMPARE(form.DataDir, QDir::toNativeSeparators(machine.filePath(saveFolder)));
    QVERIFY(QFileInfo::exists(machine.filePath(saveFolder)));

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.close();
    QVERIFY(readBytes(machine.filePath(settings)).contains("ColWidth6="));
    QVERIFY(!machine.exists(u"usr/bin"_s));
}

void InstallTest::manualPageDescribesEveryOption_data()
{
    QTest::addColumn<QString>("path");
    // NAME, SYNOPSIS, OPTIONS, EXIT STATUS, FILES, EXAMPLES in the page's language.
    QTest::addColumn<QStringList>("sections");
    QTest::newRow("English") << u"share/man/man1/laskutus.1.gz"_s
                             << QStringList{u"NAME"_s, u"SYNOPSIS"_s, u"OPTIONS"_s, u"EXIT STATUS"_s, u"FILES"_s,
                                            u"EXAMPLES"_s};
    // The Finnish page stands where man finds it for a Finnish system.
    QTest::newRow("Finnish") << u"share/man/fi/man1/laskutus.1.gz"_s
                             << QStringList{u"NIMI"_s, u"YLEISKATSAUS"_s, u"VALITSIMET"_s, u"PALUUARVO"_s,
                                            u"TIEDOSTOT"_s, u"ESIMERKIT"_s};
}

void InstallTest::manualPageDescribesEveryOption()
{
    QFETCH(QString, path);
    QFETCH(QStringList, sections);
    const QByteArray page = debianGunzip(installed(path));
    QVERIFY(!page.isEmpty());
    const QString text = renderedManualPage(page);
    QVERIFY(!text.isEmpty());
    // The name line is what apropos and whatis show.
    QVERIFY2(text.contains(QRegularExpression(sections[0] + u"\\s+laskutus - \\S"_s)), qPrintable(text));
    QVERIFY(text.contains(u"LASKUTUS(1)"_s));
    QVERIFY(text.contains(u"laskutus " LASKUTUS_VERSION ""_s));
    for (const QString &section : std::as_const(sections))
        QVERIFY2(text.contains(u'\n' + section + u'\n'), qPrintable(section));
    const QString options = text.section(u'\n' + sections[2] + u'\n', 1).section(u'\n' + sections[3] + u'\n', 0, 0);
    QVERIFY(!options.isEmpty());

    // Every option the program's own usage names is explained.
    const QRegularExpression option(u"(?<![\\w-])--?[a-z][a-z-]*"_s);
    auto usage = option.globalMatch(CommandLineUsage());
    int named = 0;
    while (usage.hasNext()) {
        const QString name = usage.next().captured();
        QVERIFY2(options.contains(QRegularExpression(u"^\\s+(.*, )?"_s + QRegularExpression::escape(name) + u"\\b"_s,
                                                     QRegularExpression::MultilineOption)),
                 qPrintable(name));
        ++named;
    }
    QVERIFY(named >= 3);
    for (const QString &file : {u"~/.config/Laskutus/laskutus.INI"_s, u"AsiakRek.csv"_s, u"Maksut.csv"_s,
                                u"/usr/share/laskutus/laskutus.html"_s})
        QVERIFY2(text.contains(file), qPrintable(file));
}

// Each column `--list` prints is named where a user looks it up: in
// `--help` and in the Finnish manual page, whose words the heading uses.
void InstallTest::listColumnsAreExplained()
{
    const QString page = renderedManualPage(debianGunzip(installed(u"share/man/fi/man1/laskutus.1.gz"_s)));
    const QString list = page.section(u"\nVALITSIMET\n"_s, 1)
                             .section(u"--list [VUOSI]\n"_s, 1)
                             .section(u"\n       --"_s, 0, 0)
                             .simplified();
    QVERIFY(!list.isEmpty());
    const QString usage = CommandLineUsage().simplified();
    const QStringList columns = LedgerListText({}).trimmed().split(u'\t');
    QVERIFY(columns.size() >= 11);
    for (const QString &column : columns) {
        QVERIFY2(usage.contains(column, Qt::CaseInsensitive), qPrintable(u"--help: "_s + column));
        QVERIFY2(list.contains(column, Qt::CaseInsensitive), qPrintable(u"man: "_s + column));
    }
}

void InstallTest::copyrightIsMachineReadable()
{
    // Plain text beside the changelog, as dpkg and lintian look for it.
    const QString text = QString::fromUtf8(readBytes(installed(u"share/doc/laskutus/copyright"_s)));
    QVERIFY(!text.isEmpty());
    QVERIFY(text.endsWith(u'\n'));
    // Paragraphs of fields, with continuation lines indented.
    QList<QMap<QString, QString>> paragraphs;
    for (const QString &block : text.split(QRegularExpression(u"\n\\s*\n"_s), Qt::SkipEmptyParts)) {
        QMap<QString, QString> fields;
        QString last;
        for (const QString &line : block.split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(u' ')) {
                QVERIFY2(!last.isEmpty(), qPrintable(line));
                fields[last] += u'\n' + line.trimmed();
                continue;
            }
            const QRegularExpressionMatch field = QRegularExpression(u"^([A-Za-z-]+):\\s*(.*)$"_s).match(line);
            QVERIFY2(field.hasMatch(), qPrintable(line));
            last = field.captured(1);
            QVERIFY2(!fields.contains(last), qPrintable(last));
            fields[last] = field.captured(2);
        }
        paragraphs.append(fields);
    }
    QVERIFY(paragraphs.size() >= 2);
    const QMap<QString, QString> header = paragraphs.takeFirst();
    QCOMPARE(header.value(u"Format"_s), u"https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"_s);
    QCOMPARE(header.value(u"Upstream-Name"_s), u"laskutus"_s);
    QCOMPARE(header.value(u"Upstream-Contact"_s), u"" LASKUTUS_MAINTAINER ""_s);

    // The files paragraphs cover everything, and each licence they name
    // has its text there or in a paragraph of its own.
    QSet<QString> licensed;
    QSet<QString> named;
    bool all = false;
    for (const auto &paragraph : std::as_const(paragraphs)) {
        const QString license = paragraph.value(u"License"_s);
        QVERIFY(!license.isEmpty());
        const QString name = license.section(u'\n', 0, 0).trimmed();
        if (license.contains(u'\n'))
            licensed.insert(name);
        if (!paragraph.contains(u"Files"_s))
            continue;
        QVERIFY(!paragraph.value(u"Copyright"_s).isEmpty());
        all = all || paragraph.value(u"Files"_s).split(u' ').contains(u"*"_s);
        named.insert(name);
    }
    QVERIFY(all);
    for (const QString &name : std::as_const(named))
        QVERIFY2(licensed.contains(name), qPrintable(name));
}

void InstallTest::changelogIsDebianChangelog()
{
    const QByteArray changelog = debianGunzip(installed(u"share/doc/laskutus/changelog.gz"_s));
    QVERIFY(!changelog.isEmpty());
    QTemporaryDir folder;
    writeBytes(folder.filePath(u"changelog"_s), changelog);
    // Debian's own parser, which warns of any line out of form.
    const ToolRun parsed = run(u"dpkg-parsechangelog"_s, {u"-l"_s, folder.filePath(u"changelog"_s)});
    QVERIFY2(parsed.exitCode == 0, parsed.err.constData());
    QCOMPARE(QString::fromUtf8(parsed.err), QString());
    const QString fields = QString::fromUtf8(parsed.out);
    // The newest entry is the version being installed.
    QVERIFY2(fields.contains(u"\nVersion: " LASKUTUS_VERSION "\n"_s), qPrintable(fields));
    QVERIFY2(fields.contains(u"\nMaintainer: " LASKUTUS_MAINTAINER "\n"_s), qPrintable(fields));
    QVERIFY(fields.startsWith(u"Source: laskutus\n"_s));
}

void InstallTest::packageNamesWhatProgramDoes_data()
{
    // What the program does, in words an English and a Finnish reader look for.
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("finnish");
    QTest::newRow("PDF") << u"PDF"_s << u"pdf"_s;
    QTest::newRow("customer register") << u"customer register"_s << u"asiakasrekisteri"_s;
    QTest::newRow("Finvoice e-invoices") << u"Finvoice"_s << u"Finvoice"_s;
    QTest::newRow("Peppol e-invoices") << u"Peppol"_s << u"Peppol"_s;
    QTest::newRow("ledger") << u"ledger"_s << u"reskontra"_s;
    QTest::newRow("payment import") << u"camt.054"_s << u"camt.054"_s;
    QTest::newRow("reminders") << u"reminder"_s << u"maksumuistutu"_s;
    QTest::newRow("credit notes") << u"credit note"_s << u"hyvityslasku"_s;
}

// The changelog and the AppStream description follow the program: each
// names what it does, and the description's newest release is this one.
void InstallTest::packageNamesWhatProgramDoes()
{
    QFETCH(QString, english);
    QFETCH(QString, finnish);
    const QString changelog = QString::fromUtf8(debianGunzip(installed(u"share/doc/laskutus/changelog.gz"_s)));
    const QString newest = changelog.section(u"\n -- "_s, 0, 0);
    QVERIFY2(newest.contains(english, Qt::CaseInsensitive), qPrintable(newest));

    const QString metainfo = installed(u"share/metainfo/example.laskutus.laskutus.metainfo.xml"_s);
    const QString described = metainfoDescription(metainfo, QString());
    QVERIFY2(described.contains(english, Qt::CaseInsensitive), qPrintable(described));
    const QString kuvattu = metainfoDescription(metainfo, u"fi"_s);
    QVERIFY2(kuvattu.contains(finnish, Qt::CaseInsensitive), qPrintable(kuvattu));

    const QString xml = QString::fromUtf8(readBytes(metainfo));
    const QRegularExpressionMatch release =
        QRegularExpression(u"<releases>\\s*<release version=\"([^\"]+)\""_s).match(xml);
    QCOMPARE(release.captured(1), u"" LASKUTUS_VERSION ""_s);
}

void InstallTest::desktopEntryOpensSavedInvoice()
{
    const QString entry = installed(u"share/applications/laskutus.desktop"_s);
    const ToolRun validate = run(u"desktop-file-validate"_s, {entry});
    QVERIFY2(validate.exitCode == 0, validate.err.constData());
    QCOMPARE(QString::fromUtf8(validate.out + validate.err), QString());

    const QString text = QString::fromUtf8(readBytes(entry));
    // A file manager passes the file it opens where the field code stands.
    QVERIFY2(text.contains(QRegularExpression(u"^Exec=laskutus %f$"_s, QRegularExpression::MultilineOption)),
             qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression(u"^MimeType=(.*;)?text/csv;"_s, QRegularExpression::MultilineOption)),
             qPrintable(text));
}

QTEST_MAIN(InstallTest)
#include "tst_install.moc"
