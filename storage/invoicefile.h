#pragma once

#include "invoice/invoicedata.h"
#include "invoice/invoicerecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Invoice files: the file name taken from the invoice number, the header
// line and the lines of a whole file, the record a file holds, and the
// counters that advance after a save.

/// Whether a typed invoice number can name a file inside the year folder:
/// not empty, not only dots and blanks, no "..", no control character, none
/// of / \ : * ? " < > |, and no device name such as CON or LPT1.
bool IsUsableInvoiceNumber(QStringView number);

/// The header line: every value between double quotes, inner quotes doubled,
/// separated by commas. Line breaks inside a value are written as blanks.
QString FormatHeaderLine(const QStringList &values);

/// The lines of an invoice file: the header line, the customer line (always
/// written) and one line per row that has a cell of two or more characters.
/// The header's values after the due date are left out while empty at its
/// end, except that a header keeping its biller (some biller value set) is
/// written up to the biller's last value.
QStringList InvoiceFileLines(const InvoiceData &invoice);

/// Why a file's lines are not an invoice, as the end of a Finnish sentence
/// ("otsikkorivillä ei ole kelvollista laskun päiväystä"); empty when they are
/// one. An invoice has a header line whose first value, the number, is not
/// blank and whose second, the date, reads as three whole numbers day 1 to
/// 31, month 1 to 12 and year 1 to 9999; a customer line with some text; and
/// at least one row line. An invoice saved with its date as the program
/// writes dates has them, while a damaged file, an empty one or the customer
/// register does not.
QString InvoiceLinesRefusal(const QStringList &lines);

/// The invoice an invoice file's lines hold; nullopt when InvoiceLinesRefusal
/// refuses them. Header values beyond the known ones are ignored, missing ones
/// left out; the customer and the rows are read by the grid line rule.
std::optional<InvoiceData> ReadInvoiceFileLines(const QStringList &lines);

/// The message for a file that is not an invoice, with its path and why.
QString NotAnInvoiceText(const QString &path, const QString &reason);

/// The message of an invoice not saved because its file would be refused
/// when opened, for the reason given.
QString InvoiceNotSavedText(const QString &reason);

/// Reads the invoice file at path. Throws what ReadTextLines throws, and
/// CommandError with NotAnInvoiceText when the lines are no invoice.
InvoiceData ReadInvoiceFile(const QString &path);

/// The invoice file at path as a complete record (IssuedRecord with
/// `biller`, today's details). Throws what ReadInvoiceFile throws.
InvoiceRecord ReadInvoiceRecord(const QString &path, const BillerDetails &biller, const InvoiceDefaults &defaults);

/// Reads each line into a row of cellCount cells by the grid line rule.
QList<QStringList> ReadLinesIntoRows(const QStringList &lines, int cellCount);

/// The next invoice counter after a save: the counter's first whole number
/// plus one, of any length so that numbers never wrap, or nullopt when the
/// invoice number's first whole number differs from it (the invoice was not
/// numbered from the counter).
std::optional<QString> NextInvoiceCounter(QStringView counter, QStringView invoiceNumber);

/// Where the earlier version of an invoice file is kept beside it when the file
/// is replaced: "57.csv" gives "57 (aiempi versio).csv", version 2 and later
/// "57 (aiempi versio 2).csv" and so on.
QString EarlierVersionPath(const QString &path, int version);

/// Copies an invoice file that is about to be replaced to the first free
/// earlier-version name beside it and returns that name. Throws
/// FileCreateError when the copy cannot be made.
QString KeepEarlierVersion(const QString &path);

/// The question asked before a saved invoice is replaced by another one.
QString ReplaceInvoiceQuestion(const QString &invoiceNumber, const QString &path);

/// The save folder as the program keeps it: the chosen folder's absolute path
/// in native separators, ending with a separator; empty when none was chosen.
QString SaveFolderPath(const QString &chosenFolder);

/// The status line after a save: the invoice number and every file the save
/// wrote, its invoice file first.
QString InvoiceSavedText(const QString &invoiceNumber, const QStringList &paths);
