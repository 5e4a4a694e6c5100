#pragma once

#include "invoice/invoicerecord.h"
#include "invoice/payment.h"
#include "invoice/penaltyinterest.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Payment reminders ("MAKSUMUISTUTUS") of overdue invoices: the open amount,
// the penalty interest, the fee, the new total and due date. The reminder's
// file is storage/reminderfile.h, its payment codes output/paymentcodes.h.

/// The reminder's settings in the biller section of the settings file, each
/// written only once the user changes it: the reference rates
/// (ReferenceRatesText), the fee ("5,00"), the fixed compensation of a
/// business customer (yes/no) and the reminder's payment term ("14 pv").
inline constexpr QStringView kReferenceRatesKey = u"Viitekorot";
inline constexpr QStringView kReminderFeeKey = u"Muistutusmaksu";
inline constexpr QStringView kFixedCompensationKey = u"Vakiokorvaus";
inline constexpr QStringView kReminderTermKey = u"Muistutusaika";

/// The fee when the settings name none, and the most a consumer is charged.
constexpr qint64 kDefaultReminderFeeCents = 500;
constexpr qint64 kConsumerReminderFeeCapCents = 500;
/// The fixed compensation a business customer may be charged once an invoice.
constexpr qint64 kFixedCompensationCents = 4000;
/// The reminder's payment term when the settings name none.
inline constexpr QStringView kDefaultReminderTerm = u"14 pv";
/// Days past the due date before a consumer may be reminded at a fee.
constexpr int kConsumerReminderDelayDays = 14;

/// What reminders take from the biller details.
struct ReminderSettings
{
    ReferenceRates referenceRates = PublishedReferenceRates();
    qint64 feeCents = kDefaultReminderFeeCents;
    bool fixedCompensation = false;
    /// Days are its first whole number, as with payment terms.
    QString term = kDefaultReminderTerm.toString();
};

/// The fee as typed in the biller details ("5,00", "5"). Throws
/// CommandError, in Finnish, when it is no amount or is below zero.
qint64 ReminderFeeCents(QStringView text);

/// The reminder's payment term as typed, blanks trimmed. Throws
/// CommandError, in Finnish, when its first whole number, the days, is
/// missing or below one.
QString ReminderTermText(QStringView text);

/// What the caller decides for one reminder.
struct ReminderRequest
{
    /// The invoice's year folder.
    QString year;
    QDate date;
    /// Reminders of this invoice sent before this one.
    int earlierReminders = 0;
    /// Whether the customer is a business; by default an invoice with the
    /// customer's business ID is.
    std::optional<bool> business;
    /// What credit notes take back of the invoice (zero or below): it is no
    /// debt, so it bears no interest either.
    qint64 creditedCents = 0;
};

/// What the fee line charges.
enum class ReminderFeeKind { Fee, FixedCompensation };

/// The caption of the fee line: "Muistutusmaksu" or "Vakiokorvaus perintäkuluista".
QString ReminderFeeText(ReminderFeeKind kind);

/// A payment as a reminder lists it.
struct ReceivedPayment
{
    QDate date;
    qint64 cents = 0;
    friend bool operator==(const ReceivedPayment &, const ReceivedPayment &) = default;
};

/// One reminder, everything its page and giro form print.
struct Reminder
{
    /// 1 for an invoice's first reminder (file "-M1"), 2 for the next.
    int number = 1;
    QString year;
    QString invoiceNumber;
    QString invoiceDate;
    QDate dueDate;
    QString reference;
    qint64 originalCents = 0;
    /// What credit notes took back of it, zero or below.
    qint64 creditedCents = 0;
    /// The payments received on or before the reminder's date, by date.
    QList<ReceivedPayment> payments;
    qint64 paidCents = 0;
    qint64 openCents = 0;
    bool business = false;
    /// The invoice's own rate when it states one as a percentage.
    std::optional<int> statedRate;
    PenaltyInterest interest;
    ReminderFeeKind feeKind = ReminderFeeKind::Fee;
    qint64 feeCents = 0;
    /// Open amount, interest and fee.
    qint64 totalCents = 0;
    QDate date;
    QDate newDueDate;
    /// The bank barcode's content for the new total and due date with the
    /// original reference (WithPaymentCodes); empty when the invoice's
    /// reference or the biller's IBAN fails its check, and until made.
    QString bankBarcode;
    std::optional<QString> epcQrText;
    friend bool operator==(const Reminder &, const Reminder &) = default;
};

/// The reminder of the invoice on the request's date, with the invoice's
/// payments (PaymentsOfRow). Interest runs from the day after the due date
/// to the reminder's date (CountPenaltyInterest); the fee is the settings'
/// fee, at most kConsumerReminderFeeCapCents for a consumer, and for a
/// business customer the fixed compensation instead on an invoice's first
/// reminder when the settings say so. The new due date is the reminder's
/// date plus the settings' term. Throws CommandError, in Finnish, when the
/// invoice has no due date, is not overdue on the date, has nothing open,
/// when a consumer is reminded sooner than kConsumerReminderDelayDays after
/// the due date, when the term takes the new due date past the year 9999
/// or an amount is beyond what a reminder file holds (so that every
/// reminder made reads back from its file), and as CountPenaltyInterest
/// throws.
Reminder MakeReminder(const InvoiceRecord &record, const QList<Payment> &payments, const ReminderRequest &request,
                      const ReminderSettings &settings);
