#pragma once

#include "app/prompter.h"

#include <QQueue>
#include <QVariant>

#include <functional>
#include <utility>

// Answers the program's questions from a queue filled by the test, records
// what was asked, and fails the test on a question nobody expected. Messages
// wait until the test takes them; the fixture fails a test that leaves a
// message untaken or an answer unused.
class ScriptedPrompter : public Prompter
{
public:
    void message(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &text) override;
    std::optional<QString> inputText(QWidget *parent, const QString &caption,
                                     const QString &prompt, const QString &value) override;
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

    // Answers, in the order the questions come. A null QVariant cancels.
    void answerQuestion(bool yes) { m_questions.enqueue(yes); }
    void answerInput(const QVariant &text) { m_inputs.enqueue(text); }
    void answerOpen(const QString &path) { m_opens.enqueue(path); }
    /// Saves under the path, having chosen the save dialog's filter of that index.
    void answerSave(const QString &path, qsizetype filter = 0) { m_saves.enqueue({path, filter}); }
    /// Chooses this folder in the folder dialog; an empty path cancels.
    void answerFolder(const QString &path) { m_folders.enqueue(path); }
    /// Agrees to the next table shown (its accept button), or cancels it.
    void answerTable(bool accept) { m_tables.enqueue(accept); }
    /// The tables shown: their text, then their rows tab separated.
    QList<QStringList> tablesShown;
    void answerFont(const QVariant &font) { m_fonts.enqueue(font); }
    /// Cancels the print dialog, or chooses a printer that writes a PDF file
    /// to the path, at `dotsPerInch` when given.
    void answerPrinter(const QString &pdfPath, int dotsPerInch = 0)
    {
        m_printers.enqueue({pdfPath, dotsPerInch, QString()});
    }
    /// Chooses the print system's queue of this name in the print dialog.
    void answerPrintQueue(const QString &queue) { m_printers.enqueue({QString(), 0, queue}); }
    void setToday(const QDate &date) { m_today = date; }

    /// The messages shown since the last call, oldest first; taking them is
    /// how a test says it expected them.
    QStringList takeMessages();
    /// Print dialogs shown so far.
    int printDialogs = 0;
    /// The file each print dialog offered a printer that writes one.
    QStringList printFilesOffered;
    /// When set, shows the print dialog in place of the scripted answers:
    /// a test's real dialog.
    std::function<bool(QWidget *, QPrinter &)> printDialog;
    /// When set, a print dialog with no scripted answer is cancelled: every
    /// save ends in one, and most tests are not about printing.
    bool cancelPrintingUnasked = false;
    /// The titles of the windows the messages shown so far belong to.
    QStringList messageWindows;
    /// Yes/no questions asked so far, oldest first.
    QStringList questions;
    /// Captions and prompts of input boxes shown so far.
    QStringList inputPrompts;
    /// The values input boxes were shown with, in the same order.
    QStringList inputValues;
    /// Initial fonts the font dialog was opened with.
    QList<QFont> fontRequests;
    /// The rule each open dialog was told to leave files out by.
    QList<HiddenFiles> hiddenFromOpen;
    /// Folders and names the save dialog was opened with.
    QStringList saveRequests;
    /// Captions and starting folders the folder dialog was opened with.
    QStringList folderRequests;
    /// What the test left behind: answers never used and messages never
    /// taken; empty when nothing.
    QString unsettled() const;

private:
    QStringList m_untaken;
    QQueue<bool> m_questions;
    QQueue<QVariant> m_inputs;
    QQueue<QString> m_opens;
    QQueue<std::pair<QString, qsizetype>> m_saves;
    QQueue<QString> m_folders;
    QQueue<bool> m_tables;
    QQueue<QVariant> m_fonts;
    struct PrinterAnswer
    {
        QString pdfPath;
        int dotsPerInch = 0;
        QString queue;
    };
    QQueue<PrinterAnswer> m_printers;
    QDate m_today = QDate(2026, 12, 7);
};
