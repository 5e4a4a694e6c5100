#pragma once

#include "app/Unit1.h"
#include "tests/support/scriptedprompter.h"

#include <QTemporaryDir>

#include <memory>

class StringGrid;

// A fresh main window per test: its own folder standing for the program's
// folder (settings, help and register live there), a scripted prompter and
// a fixed date.
class FormFixture
{
public:
    /// Writes `settings` (Windows-1252 bytes) as the settings file when given.
    explicit FormFixture(const QByteArray &settings = QByteArray(), const QStringList &arguments = {},
                         const QDate &today = QDate(2026, 12, 7));

    TForm1 &form() { return *m_form; }
    ScriptedPrompter &prompter() { return *m_prompter; }
    QString folder() const { return m_dir.path(); }
    QString executablePath() const { return m_dir.filePath(QStringLiteral("laskutus")); }
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("laskutus.INI")); }
    QByteArray settingsBytes() const;

    /// Shows the window and waits until it is exposed.
    bool show();

private:
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
