#include "scriptedprompter.h"

#include <QPrinter>
#include <QTest>
#include <QWidget>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

void unexpected(const char *what)
{
    QTest::qFail(what, __FILE__, __LINE__);
}

} // namespace

void ScriptedPrompter::message(QWidget *parent, const QString &text)
{
    messageWindows.append(parent ? parent->window()->windowTitle() : QString());
    m_untaken.append(text);
}

QStringList ScriptedPrompter::takeMessages()
{
    return std::exchange(m_untaken, {});
}

bool ScriptedPrompter::question(QWidget *, const QString &text)
{
    questions.append(text);
    if (m_questions.isEmpty()) {
        unexpected("a question nobody expected");
        return false;
    }
    return m_questions.dequeue();
}

std::optional<QString> ScriptedPrompter::inputText(QWidget *, const QString &caption,
                                                   const QString &prompt, const QString &value)
{
    inputPrompts.append(caption + u'|' + prompt);
    inputValues.append(value);
    if (m_inputs.isEmpty()) {
        unexpected("an input box nobody expected");
        return std::nullopt;
    }
    const QVariant answer = m_inputs.dequeue();
    if (answer.isNull())
        return std::nullopt;
    return answer.toString();
}

QString ScriptedPrompter::openFileName(QWidget *, const QString &, const QString &, const HiddenFiles &hidden)
{
    hiddenFromOpen.append(hidden);
    if (m_opens.isEmpty()) {
        unexpected("an open dialog nobody expected");
        return QString();
    }
    return m_opens.dequeue();
}

QString ScriptedPrompter::saveFileName(QWidget *, const QString &folder, const QString &name,
                                       const QStringList &, qsizetype *chosenFilter)
{
    saveRequests.append(folder + u'|' + name);
    if (m_saves.isEmpty()) {
        unexpected("a save dialog nobody expected");
        return QString();
    }
    const auto [path, filter] = m_saves.dequeue();
    if (chosenFilter)
        *chosenFilter = filter;
    return path;
}

bool ScriptedPrompter::confirmTable(QWidget *, const QString &, const QString &text, const QStringList &,
                                    const QList<QStringList> &rows, const QString &)
{
    QStringList shown{text};
    for (const QStringList &row : rows)
        shown.append(row.join(u'\t'));
    tablesShown.append(shown);
    if (m_tables.isEmpty()) {
        unexpected("a table nobody expected");
        return false;
    }
    return m_tables.dequeue();
}

QString ScriptedPrompter::existingFolder(QWidget *, const QString &caption, const QString &folder)
{
    folderRequests.append(caption + u'|' + folder);
    if (m_folders.isEmpty()) {
        unexpected("a folder dialog nobody expected");
        return QString();
    }
    return m_folders.dequeue();
}

std::optional<QFont> ScriptedPrompter::font(QWidget *, const QFont &initial)
{
    fontRequests.append(initial);
    if (m_fonts.isEmpty()) {
        unexpected("a font dialog nobody expected");
        return std::nullopt;
    }
    const QVariant answer = m_fonts.dequeue();
    if (answer.isNull())
        return std::nullopt;
    return answer.value<QFont>();
}

bool ScriptedPrompter::choosePrinter(QWidget *parent, QPrinter &printer)
{
    ++printDialogs;
    printFilesOffered << printer.outputFileName();
    if (printDialog)
        return printDialog(parent, printer);
    if (m_printers.isEmpty()) {
        if (!cancelPrintingUnasked)
            unexpected("a print dialog nobody expected");
        return false;
    }
    const auto [path, dotsPerInch, queue] = m_printers.dequeue();
    if (!queue.isEmpty()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(queue);
        return true;
    }
    if (path.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (dotsPerInch > 0)
        printer.setResolution(dotsPerInch);
    return true;
}

QDate ScriptedPrompter::today() const
{
    return m_today;
}

QString ScriptedPrompter::unsettled() const
{
    QStringList left;
    const std::pair<qsizetype, const char16_t *> answers[] = {
        {m_questions.size(), u"question"}, {m_inputs.size(), u"input"},  {m_opens.size(), u"open"},
        {m_saves.size(), u"save"},         {m_fonts.size(), u"font"},    {m_printers.size(), u"printer"},
        {m_folders.size(), u"folder"},     {m_tables.size(), u"table"},
    };
    for (const auto &[count, kind] : answers) {
        if (count > 0)
            left.append(u"%1 %2 answer(s) never used"_s.arg(count).arg(QString::fromUtf16(kind)));
    }
    for (const QString &text : m_untaken)
        left.append(u"message never taken: \""_s + text + u'"');
    return left.join(u"; "_s);
}
