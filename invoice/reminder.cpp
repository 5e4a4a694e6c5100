// Payment reminders: the amounts, fee and new due date of a reminder.

#include "invoice/reminder.h"

#include "base/commanderror.h"
#include "invoice/amount.h"
#include "invoice/dates.h"
#include "invoice/numbering.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

void refuse(const QString &message)
{
    throw CommandError(message);
}

} // namespace

qint64 ReminderFeeCents(QStringView text)
{
    const std::optional<qint64> cents = ParsePaymentAmount(text);
    if (!cents)
        refuse(u"Muistutusmaksu \"%1\" ei ole rahasumma; kirjoita euroina ja sentteinä, esim. 5,00."_s.arg(
            text.trimmed().toString()));
    if (*cents < 0)
        refuse(u"Muistutusmaksu ei voi olla negatiivinen."_s);
    return *cents;
}

QString ReminderTermText(QStringView text)
{
    int position = 1;
    if (TakeInteger(text, position) < 1)
        refuse(u"Muistutusaika \"%1\" ei kerro maksuaikaa päivinä; kirjoita esim. 14 pv."_s.arg(
            text.trimmed().toString()));
    return text.trimmed().toString();
}

QString ReminderFeeText(ReminderFeeKind kind)
{
    return kind == ReminderFeeKind::FixedCompensation ? u"Vakiokorvaus perintäkuluista"_s : u"Muistutusmaksu"_s;
}

Reminder MakeReminder(const InvoiceRecord &record, const QList<Payment> &payments, const ReminderRequest &request,
                      const ReminderSettings &settings)
{
    const QStringList &header = record.invoice.header;
    Reminder reminder;
    reminder.number = request.earlierReminders + 1;
    reminder.year = request.year;
    reminder.invoiceNumber = header.value(InvoiceNumberField).trimmed();
    reminder.invoiceDate = header.value(InvoiceDateField).trimmed();
    reminder.reference = header.value(ReferenceField).trimmed();
    reminder.date = request.date;
    const QString dueText = RecordDueDate(record).trimmed();
    reminder.dueDate = ReadDate(dueText);
    if (!reminder.dueDate.isValid())
        refuse(u"Laskun %1 eräpäivä \"%2\" ei ole päivämäärä; muistutusta ei voi tehdä."_s.arg(reminder.invoiceNumber,
                                                                                                dueText));
    if (reminder.date <= reminder.dueDate)
        refuse(u"Lasku %1 ei ole erääntynyt: eräpäivä on %2."_s.arg(reminder.invoiceNumber, DateText(reminder.dueDate)));

    reminder.business = request.business.value_or(!header.value(BusinessIdField).trimmed().isEmpty());
    const QDate earliest = reminder.dueDate.addDays(kConsumerReminderDelayDays);
    if (!reminder.business && reminder.date < earliest)
        refuse(u"Kuluttajalle muistutuksen voi lähettää aikaisintaan %1 päivää eräpäivän jälkeen, %2 alkaen."_s.arg(
            QString::number(kConsumerReminderDelayDays), DateText(earliest)));

    QList<Payment> received;
    for (const Payment &payment : payments) {
        if (payment.date <= reminder.date) {
            received.append(payment);
            reminder.payments.append({payment.date, payment.cents});
            reminder.paidCents += payment.cents;
        }
    }
    std::stable_sort(reminder.payments.begin(), reminder.payments.end(),
                     [](const ReceivedPayment &a, const ReceivedPayment &b) { return a.date < b.date; });
    reminder.originalCents = ParseCents(RecordTotals(record).total).value_or(0);
    reminder.creditedCents = std::min<qint64>(request.creditedCents, 0);
    const qint64 owedCents = reminder.originalCents + reminder.creditedCents;
    reminder.openCents = owedCents - reminder.paidCents;
    if (reminder.openCents <= 0)
        refuse(u"Laskulla %1 ei ole avointa summaa."_s.arg(reminder.invoiceNumber));

    reminder.statedRate = StatedPenaltyRate(header.value(PenaltyInterestField));
    reminder.interest = CountPenaltyInterest({owedCents, received, reminder.dueDate,
                                              reminder.date, reminder.business, reminder.statedRate},
                                             settings.referenceRates);

    if (!reminder.business) {
        reminder.feeCents = std::min(settings.feeCents, kConsumerReminderFeeCapCents);
    } else if (settings.fixedCompensation && request.earlierReminders == 0) {
        reminder.feeKind = ReminderFeeKind::FixedCompensation;
        reminder.feeCents = kFixedCompensationCents;
    } else {
        reminder.feeCents = settings.feeCents;
    }
    reminder.totalCents = reminder.openCents + reminder.interest.cents + reminder.feeCents;
    reminder.newDueDate = DueDate(reminder.date, settings.term);
    // What is made is saved, and what is saved must read back: the file
    // holds dates of the years 1 to 9999 and amounts as payments are kept.
    if (!reminder.newDueDate.isValid())
        refuse(u"Muistutusajasta \"%1\" tulisi uusi eräpäivä vuoden 9999 jälkeen; kirjoita lyhyempi muistutusaika "
               "laskuttajan tietoihin."_s.arg(settings.term));
    for (const qint64 cents : {reminder.originalCents, reminder.creditedCents, reminder.paidCents, reminder.openCents,
                               reminder.interest.cents, reminder.feeCents, reminder.totalCents}) {
        if (ParsePaymentAmount(PaymentAmountText(cents)) != cents)
            refuse(u"Laskun %1 maksumuistutukseen tulisi summa %2 €, joka on liian suuri."_s.arg(
                reminder.invoiceNumber, PaymentAmountText(cents)));
    }
    return reminder;
}

