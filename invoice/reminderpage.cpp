// The lines a payment reminder prints and shows for confirmation.

#include "invoice/reminderpage.h"

#include "invoice/amount.h"
#include "invoice/numbering.h"

using namespace Qt::StringLiterals;

QList<ReminderLine> ReminderLines(const Reminder &reminder)
{
    QList<ReminderLine> lines;
    lines.append({u"Muistutamme laskusta %1 (päiväys %2, eräpäivä %3)."_s.arg(
                      reminder.invoiceNumber, reminder.invoiceDate, DateText(reminder.dueDate)),
                  QString()});
    lines.append({u"Laskun summa"_s, PaymentAmountText(reminder.originalCents)});
    if (reminder.creditedCents != 0)
        lines.append({u"Hyvitetty"_s, PaymentAmountText(reminder.creditedCents)});
    for (const ReceivedPayment &payment : reminder.payments)
        lines.append({u"Maksu %1"_s.arg(DateText(payment.date)), PaymentAmountText(-payment.cents)});
    lines.append({u"Avoin summa"_s, PaymentAmountText(reminder.openCents)});
    for (const InterestPeriod &period : reminder.interest.periods) {
        lines.append({u"Viivästyskorko %1 % %2–%3, %4 pv, summasta %5"_s.arg(
                          RateText(period.rate), DateText(period.first), DateText(period.last),
                          QString::number(period.days), PaymentAmountText(period.openCents)),
                      QString()});
    }
    // The interest of all periods is rounded once (CountPenaltyInterest),
    // so one period's line carries it, several get a line of their sum.
    const QString interest = PaymentAmountText(reminder.interest.cents);
    if (reminder.interest.periods.size() == 1)
        lines.last().amount = interest;
    else if (reminder.interest.periods.size() > 1)
        lines.append({u"Viivästyskorko yhteensä"_s, interest});
    if (reminder.feeCents != 0)
        lines.append({ReminderFeeText(reminder.feeKind), PaymentAmountText(reminder.feeCents)});
    lines.append({u"Maksettava yhteensä %1 mennessä"_s.arg(DateText(reminder.newDueDate)),
                  PaymentAmountText(reminder.totalCents)});
    lines.append({u"Jos olette jo maksaneet laskun, tämä muistutus on aiheeton."_s, QString()});
    return lines;
}

QStringList ReminderLineHeadings()
{
    return {u"Selite"_s, u"Summa €"_s};
}
