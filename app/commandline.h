#pragma once

#include <QString>
#include <QStringList>

// The command line: a settings profile to start the window with, or a batch
// export of saved invoices to PDF that needs no window and no display.

struct CommandLine
{
    /// "--help": print the usage and stop.
    bool help = false;
    /// "--pdf OUT FILE.csv…": export instead of opening the window.
    bool exportPdf = false;
    QString output;
    QStringList inputs;
    /// The arguments the window or the export starts with: the profile first.
    QStringList startArguments;
    /// Why the command line cannot be used; empty when it can.
    QString error;
};

/// Reads the arguments after the program's name. Without "--pdf" or "--help"
/// they are the window's own (the first names a settings profile);
/// "--profile NAME" names the profile of an export.
CommandLine ParseCommandLine(const QStringList &arguments);

/// Where the PDF of one input goes: OUT itself for a single input, else the
/// input's name with ".pdf" in the folder OUT.
QString PdfTargetFor(const QString &output, const QString &input, bool severalInputs);

/// The usage text printed by "--help", in Finnish.
QString CommandLineUsage();
