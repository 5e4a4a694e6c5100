#pragma once

#include "invoice/reminder.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The reminder's own small file beside the invoice, which stays as it was:
// its name, its lines and their reading.

/// A name with the mark of reminder `number`: "57" gives "57-M1". The
/// reminder's file and its PDF are named so.
QString ReminderFileStem(const QString &name, int number);

/// The reminder file's name in the invoice's year folder: "57-M1.csv".
QString ReminderFileName(const QString &invoiceNumber, int number);

/// The path of the invoice's reminder `number` in the save folder (which
/// ends with a separator).
QString ReminderFilePath(const QString &dataDir, const QString &year, const QString &invoiceNumber, int number);

/// The PDF of the invoice's reminder `number` beside its file: "57-M1.pdf".
QString ReminderPdfPath(const QString &dataDir, const QString &year, const QString &invoiceNumber, int number);

/// Whether a file name is one a reminder is saved under ("57-M1.csv").
bool IsReminderFileName(QStringView name);

/// The reminders already saved of the invoice: 0 without one; else the
/// highest n whose "-Mn" file exists, counting from 1 without gaps.
int SavedReminderCount(const QString &dataDir, const QString &year, const QString &invoiceNumber);

/// The first cell of a reminder file.
inline constexpr QStringView kReminderFileMark = u"MAKSUMUISTUTUS";

/// The lines of a reminder file, in the grid line format: the head
/// (mark, reminder number, year, invoice number, invoice date, due date,
/// reference, reminder date, new due date, business yes/no, stated rate or
/// empty), the amounts (original, paid, open, interest, fee kind, fee,
/// total, and what credit notes took back when they did), one "maksu" line a payment (date, amount) and one "korko" line an
/// interest period (first and last day, open amount, reference rate, rate,
/// stated yes/no, days, days in year). The payment codes are not kept: they
/// follow from the amounts and the invoice.
QStringList ReminderFileLines(const Reminder &reminder);

/// The reminder the lines of a reminder file hold; nullopt when they are not
/// one. The payment codes are left empty (WithPaymentCodes, output/paymentcodes.h).
std::optional<Reminder> ReadReminderFileLines(const QStringList &lines);

/// Writes the reminder's file, whole or not at all; throws what
/// WriteTextLines throws.
void WriteReminderFile(const QString &path, const Reminder &reminder);

/// Reads a reminder file. Throws what ReadTextLines throws, and
/// CommandError when the file is no reminder.
Reminder ReadReminderFile(const QString &path);
