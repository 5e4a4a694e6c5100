#pragma once

#include <QDate>
#include <QStringView>

// Dates as the program writes them and people type them.

/// The date of "d.m.yyyy" text: a day and a month of one or two digits and a
/// year of four, parted by full stops; blanks around the text are ignored.
/// An invalid date for anything else and for no real day ("31.2.2026",
/// the empty date "00.00.0000").
QDate ReadDate(QStringView text);
