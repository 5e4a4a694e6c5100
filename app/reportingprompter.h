#pragma once

#include "app/prompter.h"

class QTextStream;

// Answers no question and reports every message to a text stream: for running
// the window without a person, as the command-line export does.
class ReportingPrompter : public Prompter
{
public:
    explicit ReportingPrompter(QTextStream &report);

    void message(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &text) override;
    std::optional<QString> inputText(QWidget *parent, const QString &caption, const QString &prompt,
                                     const QString &value) override;
    QString openFileName(QWidget *parent, const QString &folder, const QString &filter,
                         const HiddenFiles &hidden) override;
    QString saveFileName(QWidget *parent, const QString &folder, const QString &name,
                         const QStringList &filters, qsizetype *chosenFilter) override;
    bool confirmTable(QWidget *parent, const QString &caption, const QString &text, const QStringList &headings,
                      const QList<QStringList> &rows, const QString &accept) override;
    QString existingFolder(QWidget *parent, const QString &caption, const QString &folder) override;
    std::optional<QFont> font(QWidget *parent, const QFont &initial) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    QDate today() const override;

private:
    QTextStream &m_report;
};
