#pragma once

#include <QDate>
#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

/// Whether a file, given its path, is left out of an open dialog's lists.
using HiddenFiles = std::function<bool(const QString &path)>;

// Every modal question the program asks, the clock and the printer choice go
// through this interface, so that tests can answer them by script.
class Prompter
{
public:
    virtual ~Prompter() = default;

    /// Shows a plain message box with an OK button.
    virtual void message(QWidget *parent, const QString &text) = 0;
    /// Asks a yes/no question whose default answer is no; true for yes.
    virtual bool question(QWidget *parent, const QString &text) = 0;
    /// Asks for one value; nullopt when cancelled.
    virtual std::optional<QString> inputText(QWidget *parent, const QString &caption,
                                             const QString &prompt, const QString &value) = 0;
    /// Asks for a file to open; empty when cancelled. Files for which
    /// `hidden` holds are not listed; with none, every file matching the
    /// filter is.
    virtual QString openFileName(QWidget *parent, const QString &folder, const QString &filter,
                                 const HiddenFiles &hidden) = 0;
    /// Asks for a file name to save under; empty when cancelled. When
    /// chosenFilter is given, it gets the index of the filter the user chose.
    virtual QString saveFileName(QWidget *parent, const QString &folder, const QString &name,
                                 const QStringList &filters, qsizetype *chosenFilter) = 0;
    /// Shows rows under their headings with the text above them and asks
    /// whether to go on with `accept` (the dialog's button); false when not.
    virtual bool confirmTable(QWidget *parent, const QString &caption, const QString &text,
                              const QStringList &headings, const QList<QStringList> &rows,
                              const QString &accept) = 0;
    /// Asks for an existing folder, starting in `folder`; empty when cancelled.
    virtual QString existingFolder(QWidget *parent, const QString &caption, const QString &folder) = 0;
    /// Asks for a font; nullopt when cancelled.
    virtual std::optional<QFont> font(QWidget *parent, const QFont &initial) = 0;
    /// Lets the user set up the printer; false when cancelled.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer) = 0;
    /// Today's date.
    virtual QDate today() const = 0;
};

// Shows the real dialogs and reads the system clock.
class DialogPrompter : public Prompter
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
};
