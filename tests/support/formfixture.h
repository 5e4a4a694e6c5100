#pragma once

#include "app/Unit1.h"
#include "tests/support/scriptedprompter.h"

#include <QTemporaryDir>

#include <memory>

class QAction;
class QMenu;
class StringGrid;

// A fresh main window per test: its own folder standing for the program's
// folder (settings, help and register live there), a scripted prompter and
// a fixed date. Going out of scope, it fails the test that made it when a
// scripted answer went unused or a message shown was never taken.
class FormFixture
{
public:
    /// Writes `settings` (Windows-1252 bytes) as the settings file when given;
    /// the window starts with `invoiceFile` when given, as from the command line.
    explicit FormFixture(const QByteArray &settings = QByteArray(), const QStringList &arguments = {},
                         const QDate &today = QDate(2026, 12, 7), const QString &invoiceFile = QString());
    ~FormFixture();
    FormFixture(const FormFixture &) = delete;
    FormFixture &operator=(const FormFixture &) = delete;

    TForm1 &form() { return *m_form; }
    ScriptedPrompter &prompter() { return *m_prompter; }
    QString folder() const { return m_dir.path(); }
    QString executablePath() const { return m_dir.filePath(QStringLiteral("laskutus")); }
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("laskutus.INI")); }
    QByteArray settingsBytes() const;

    /// Shows the window and waits until it is exposed.
    bool show();

private:
    QByteArray m_test;
    QTemporaryDir m_dir;
    ScriptedPrompter *m_prompter = nullptr;
    std::unique_ptr<TForm1> m_form;
};

/// Types into the current cell of a grid as a person does, then presses keys.
void typeIntoGrid(StringGrid *grid, int column, int row, const QString &text);
/// Types text into whatever widget has the focus, one key at a time.
void typeKeys(const QString &text);
/// Double-clicks as a mouse does: a click, then the double-click event.
void doubleClick(QWidget *widget, const QPoint &position);
/// Presses a key on whatever widget has the focus.
void pressKey(Qt::Key key);
/// An item's caption as the menu shows it: the underline marks ("&") of
/// its keyboard letter left out.
QString shownCaption(const QAction *action);
/// Chooses a main-menu command as a person does: clicks the menu bar item
/// with the first caption, then the item with each next caption in the menu
/// that opens.
void chooseFromMenuBar(QMainWindow &window, const QStringList &captions);
/// Clicks the item with this caption in an open menu.
void clickMenuItem(QMenu *menu, const QString &caption);
/// The captions of the items an open menu shows, a greyed one followed by
/// " (greyed)"; separators left out.
QStringList shownItems(const QMenu *menu);
/// Opens the popup menu with a right-click on a cell of a grid, then chooses
/// the item with this caption.
void chooseFromGridPopup(QMenu *popup, StringGrid *grid, int column, int row, const QString &caption);
/// Clicks a cell of a grid with the left button.
void clickCell(StringGrid *grid, int column, int row);
