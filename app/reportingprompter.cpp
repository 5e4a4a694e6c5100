// Running the window without a person: no question is answered and every
// message is reported on one line.

#include "reportingprompter.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

ReportingPrompter::ReportingPrompter(QTextStream &report)
    : m_report(report)
{
}

void ReportingPrompter::message(QWidget *, const QString &text)
{
    m_report << QString(text).replace(u"\r\n"_s, u" "_s) << Qt::endl;
}

bool ReportingPrompter::question(QWidget *, const QString &)
{
    return false;
}

std::optional<QString> ReportingPrompter::inputText(QWidget *, const QString &, const QString &, const QString &)
{
    return std::nullopt;
}

QString ReportingPrompter::openFileName(QWidget *, const QString &, const QString &, const HiddenFiles &)
{
    return QString();
}

QString ReportingPrompter::saveFileName(QWidget *, const QString &, const QString &, const QStringList &,
                                        qsizetype *)
{
    return QString();
}

// Nobody is there to agree: nothing is done.
bool ReportingPrompter::confirmTable(QWidget *, const QString &, const QString &, const QStringList &,
                                     const QList<QStringList> &, const QString &)
{
    return false;
}

QString ReportingPrompter::existingFolder(QWidget *, const QString &, const QString &)
{
    return QString();
}

std::optional<QFont> ReportingPrompter::font(QWidget *, const QFont &)
{
    return std::nullopt;
}

bool ReportingPrompter::choosePrinter(QWidget *, QPrinter &)
{
    return false;
}

QDate ReportingPrompter::today() const
{
    return QDate::currentDate();
}
