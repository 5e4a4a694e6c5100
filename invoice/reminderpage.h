#pragma once

#include "invoice/reminder.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// What a payment reminder says on its page and in the ledger's confirmation:
// its heading, its lines of text with their amounts, and where its PDF goes.

/// The page's heading on a reminder.
inline constexpr QStringView kReminderHeading = u"MAKSUMUISTUTUS";

/// The ledger's command that makes a reminder, and its check box.
inline constexpr QStringView kReminderCommand = u"Maksumuistutus";
inline constexpr QStringView kBusinessCustomerCaption = u"Yritysasiakas";

/// The caption of the reminder's date, in place of the invoice's.
inline constexpr QStringView kReminderDateCaption = u"Muistutuksen päiväys";

/// The caption of the reminder's total, in place of the invoice's.
inline constexpr QStringView kReminderTotalCaption = u"Maksettava yhteensä euroa";

/// One line of a reminder: a text, and an amount ("150,00", "-50,00") or
/// none.
struct ReminderLine
{
    QString text;
    QString amount;
    friend bool operator==(const ReminderLine &, const ReminderLine &) = default;
};

/// The reminder's lines as its page lists them: the invoice it reminds of,
/// its total, each payment received as a negative amount, the open amount,
/// each period of penalty interest (rate, days, the amount it is counted
/// on), the fee when there is one, the total to pay and a closing note.
QList<ReminderLine> ReminderLines(const Reminder &reminder);

/// The headings of the lines' text and amount.
QStringList ReminderLineHeadings();
