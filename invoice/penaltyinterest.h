#pragma once

#include "invoice/payment.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Penalty interest on an overdue invoice as the Finnish interest act counts
// it: the reference rate of each half-year plus a margin, or the invoice's
// own higher rate, on the open amount for the actual days over the days of
// the year, rounded to the cent once at the end. Rates are whole hundredths
// of a percentage point (950 is 9,5 %), amounts whole cents.

/// The reference rate in force for a half-year beginning on `start`
/// (1 January or 1 July).
struct ReferenceRate
{
    QDate start;
    int rate = 0;
    friend bool operator==(const ReferenceRate &, const ReferenceRate &) = default;
};

/// A table of reference rates in order of their half-years.
using ReferenceRates = QList<ReferenceRate>;

/// The margins over the reference rate: a consumer, and a business customer
/// (an invoice with the customer's business ID).
constexpr int kConsumerPenaltyMargin = 700;
constexpr int kBusinessPenaltyMargin = 800;

/// The largest open amount interest is counted on, 999 999 999,99 €, the
/// most a payment code carries; it keeps every product of the count exact in
/// 64 bits (see CountPenaltyInterest).
constexpr qint64 kMaxInterestBaseCents = 99999999999;

/// The reference rates published by the Bank of Finland, shipped with the
/// program: what the settings hold until the user changes them.
ReferenceRates PublishedReferenceRates();

/// The first day of the half-year of a day: 1 January or 1 July.
QDate HalfYearStart(const QDate &day);

/// The last day of the half-year of a day: 30 June or 31 December.
QDate HalfYearEnd(const QDate &day);

/// The rate of the half-year holding the day; nullopt when the table has
/// none for it (a half-year is never given the rate of another).
std::optional<int> ReferenceRateOn(const ReferenceRates &rates, const QDate &day);

/// A rate as the settings and reminder files write it: the percentage with a
/// decimal comma and one or two decimals, "2,5", "0,0", "10,25".
QString RateText(int rate);

/// The digits before the comma of a rate typed or stated on an invoice.
constexpr int kRateWholeDigits = 3;

/// A rate as RateText writes it, "." taken as the comma, a whole number
/// allowed ("4"); at most `wholeDigits` digits before the comma and two
/// after, no sign. nullopt for anything else.
std::optional<int> ParseRateText(QStringView text, int wholeDigits = kRateWholeDigits);

/// The highest reference rate the settings take, 100 %: a rate beyond it is
/// a typing error, and it keeps every rate a reminder applies, the margin
/// added, within kRateWholeDigits.
constexpr int kMaxReferenceRate = 10000;

/// The settings' form of a table: "d.m.yyyy=rate" entries joined by ";",
/// "1.1.2023=2,5;1.7.2023=4,0".
QString ReferenceRatesText(const ReferenceRates &rates);

/// The table of a settings text written as ReferenceRatesText writes it,
/// blanks around entries allowed and empty entries skipped, in order of
/// their half-years. Throws CommandError naming the first entry that is not
/// a date of 1 January or 1 July with a rate of at most kMaxReferenceRate,
/// or a half-year given twice.
ReferenceRates ParseReferenceRates(QStringView text);

/// A row of the reference rate table as the biller details box holds it:
/// the half-year's first day and the rate, as typed.
struct ReferenceRateRow
{
    QString start;
    QString rate;
    friend bool operator==(const ReferenceRateRow &, const ReferenceRateRow &) = default;
};

/// The rows of a settings text written as ReferenceRatesText writes it, each
/// entry cut at its first "=", blanks trimmed and empty entries skipped,
/// nothing checked: the box shows what the file holds.
QList<ReferenceRateRow> ReferenceRateRows(QStringView text);

/// The table of the rows typed in the biller details box, rows with both
/// cells empty skipped, in order of their half-years. Throws CommandError,
/// in Finnish, for the first row whose day is not 1 January or 1 July, whose
/// rate is no percentage (ParseRateText) or above kMaxReferenceRate, or
/// whose half-year an earlier row gives.
ReferenceRates ReferenceRatesOfRows(const QList<ReferenceRateRow> &rows);

/// The row "Lisää" adds to the table: the half-year after the latest one the
/// rows give, with that one's rate as typed; without one, the half-year of
/// `today` with no rate.
ReferenceRateRow NextReferenceRateRow(const QList<ReferenceRateRow> &rows, const QDate &today);

/// The rate the invoice states as its own ("Viivästyskorko"): a percentage
/// "13%", "8 %", "10,5 %" with nothing else; nullopt for any other text,
/// which leaves the statutory rate alone.
std::optional<int> StatedPenaltyRate(QStringView text);

/// What interest is counted on: the invoice's total and payments (only
/// their dates and amounts count), its due date, the last day of interest,
/// the customer kind and the invoice's own rate.
struct InterestBasis
{
    qint64 totalCents = 0;
    QList<Payment> payments;
    QDate dueDate;
    QDate until;
    bool business = false;
    std::optional<int> statedRate;
};

/// A run of days with one open amount and one rate, inside one half-year.
struct InterestPeriod
{
    QDate first;
    QDate last;
    qint64 openCents = 0;
    int referenceRate = 0;
    /// The rate applied: the reference rate plus the margin, or the
    /// invoice's own when that is higher.
    int rate = 0;
    bool statedRate = false;
    int days = 0;
    /// 365, or 366 in a leap year.
    int daysInYear = 365;
    friend bool operator==(const InterestPeriod &, const InterestPeriod &) = default;
};

/// The penalty interest and the periods it was counted over.
struct PenaltyInterest
{
    QList<InterestPeriod> periods;
    qint64 cents = 0;
    friend bool operator==(const PenaltyInterest &, const PenaltyInterest &) = default;
};

/// The penalty interest from the day after the due date to `until`, both
/// included. A payment on day D lowers the open amount from D + 1, since the
/// act counts interest up to and including the day of payment; payments on
/// or before the due date lower it from the start. Periods split at each
/// half-year and at each change of the open amount; days with nothing open
/// bear no interest and give no period. The sum of open × rate × days over
/// 10 000 × days in the year is kept exactly (whole cents and a remainder
/// per year length) and rounded half up once.
/// Throws CommandError with MissingReferenceRateText for a half-year the
/// table lacks, and when an open amount exceeds kMaxInterestBaseCents.
PenaltyInterest CountPenaltyInterest(const InterestBasis &basis, const ReferenceRates &rates);

/// "Viitekorkoa ei ole puolivuodelle 1.7.2026–31.12.2026; lisää se
/// laskuttajan tietoihin."
QString MissingReferenceRateText(const QDate &halfYearStart);
