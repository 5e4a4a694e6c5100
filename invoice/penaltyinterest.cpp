// Penalty interest: the reference rate table, its settings text, and the
// count of interest over half-years and partial payments.

#include "invoice/penaltyinterest.h"

#include "base/commanderror.h"
#include "invoice/dates.h"
#include "invoice/numbering.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

const QChar kEntrySeparator = u';';
const QChar kRateSeparator = u'=';

// Hundredths of a percentage point in one percent, and the divisor that
// turns cents × rate × days into cents per day of the year.
constexpr qint64 kRateScale = 100;
constexpr qint64 kPercentScale = 100 * kRateScale;

bool isHalfYearStart(const QDate &day)
{
    return day.isValid() && day.day() == 1 && (day.month() == 1 || day.month() == 7);
}

QString unreadableRatesText(QStringView entry)
{
    return u"Viitekorkojen asetus ei ole luettavissa kohdasta \"%1\"; korjaa se laskuttajan tietoihin."_s.arg(
        entry.toString());
}

// A reference rate of the settings file: a percentage of at most
// kMaxReferenceRate.
std::optional<int> storedReferenceRate(QStringView text)
{
    std::optional<int> rate = ParseRateText(text);
    if (rate.value_or(0) > kMaxReferenceRate)
        rate.reset();
    return rate;
}

// Cents of interest counted exactly for one length of year: whole cents and
// the remainder over kPercentScale × daysInYear.
struct YearShare
{
    qint64 whole = 0;
    qint64 remainder = 0;

    void add(qint64 product, qint64 divisor)
    {
        whole += product / divisor;
        remainder += product % divisor;
        whole += remainder / divisor;
        remainder %= divisor;
    }
};

} // namespace

ReferenceRates PublishedReferenceRates()
{
    ReferenceRates rates;
    for (int year = 2020; year <= 2022; ++year)
        rates += {{QDate(year, 1, 1), 0}, {QDate(year, 7, 1), 0}};
    rates += {
        {QDate(2023, 1, 1), 250}, {QDate(2023, 7, 1), 400}, {QDate(2024, 1, 1), 450}, {QDate(2024, 7, 1), 450},
        {QDate(2025, 1, 1), 350}, {QDate(2025, 7, 1), 250}, {QDate(2026, 1, 1), 250},
    };
    return rates;
}

QDate HalfYearStart(const QDate &day)
{
    return QDate(day.year(), day.month() <= 6 ? 1 : 7, 1);
}

QDate HalfYearEnd(const QDate &day)
{
    return day.month() <= 6 ? QDate(day.year(), 6, 30) : QDate(day.year(), 12, 31);
}

std::optional<int> ReferenceRateOn(const ReferenceRates &rates, const QDate &day)
{
    const QDate start = HalfYearStart(day);
    const auto found = std::find_if(rates.begin(), rates.end(), [&](const ReferenceRate &r) { return r.start == start; });
    return found == rates.end() ? std::nullopt : std::optional<int>(found->rate);
}

QString RateText(int rate)
{
    const QString decimals = QString::number(rate % kRateScale).rightJustified(2, u'0');
    return QString::number(rate / kRateScale) + u',' + (decimals.endsWith(u'0') ? decimals.left(1) : decimals);
}

std::optional<int> ParseRateText(QStringView text, int wholeDigits)
{
    static const QRegularExpression rate(u"^(\\d+)(?:[,.](\\d{1,2}))?$"_s);
    const QRegularExpressionMatch match = rate.match(text.trimmed().toString());
    if (!match.hasMatch() || match.capturedLength(1) > wholeDigits)
        return std::nullopt;
    return match.captured(1).toInt() * int(kRateScale) + match.captured(2).leftJustified(2, u'0').toInt();
}

QString ReferenceRatesText(const ReferenceRates &rates)
{
    QStringList entries;
    for (const ReferenceRate &r : rates)
        entries.append(DateText(r.start) + kRateSeparator + RateText(r.rate));
    return entries.join(kEntrySeparator);
}

ReferenceRates ParseReferenceRates(QStringView text)
{
    std::map<QDate, int> byStart;
    for (QStringView entry : text.split(kEntrySeparator)) {
        entry = entry.trimmed();
        if (entry.isEmpty())
            continue;
        const qsizetype separator = entry.indexOf(kRateSeparator);
        const QDate start = separator < 0 ? QDate() : ReadDate(entry.left(separator));
        const std::optional<int> rate = separator < 0 ? std::nullopt : storedReferenceRate(entry.mid(separator + 1));
        if (!isHalfYearStart(start) || !rate || byStart.count(start))
            throw CommandError(unreadableRatesText(entry));
        byStart[start] = *rate;
    }
    ReferenceRates rates;
    for (const auto &[start, rate] : byStart)
        rates.append({start, rate});
    return rates;
}

QList<ReferenceRateRow> ReferenceRateRows(QStringView text)
{
    QList<ReferenceRateRow> rows;
    for (QStringView entry : text.split(kEntrySeparator)) {
        entry = entry.trimmed();
        if (entry.isEmpty())
            continue;
        const qsizetype separator = entry.indexOf(kRateSeparator);
        rows.append({entry.left(separator).trimmed().toString(),
                     separator < 0 ? QString() : entry.mid(separator + 1).trimmed().toString()});
    }
    return rows;
}

ReferenceRates ReferenceRatesOfRows(const QList<ReferenceRateRow> &rows)
{
    std::map<QDate, int> byStart;
    for (const ReferenceRateRow &row : rows) {
        const QString start = row.start.trimmed();
        const QString rateText = row.rate.trimmed();
        if (start.isEmpty() && rateText.isEmpty())
            continue;
        const QDate day = ReadDate(start);
        if (!isHalfYearStart(day))
            throw CommandError(u"Viitekoron alkupäivä \"%1\" ei ole puolivuoden ensimmäinen päivä; "
                               "kirjoita 1.1. tai 1.7. vuosineen, esim. 1.7.2026."_s.arg(start));
        const std::optional<int> rate = ParseRateText(rateText);
        if (!rate)
            throw CommandError(u"Viitekorko \"%1\" (alkaen %2) ei ole prosenttiluku; kirjoita esim. 2,5."_s.arg(
                rateText, DateText(day)));
        if (*rate > kMaxReferenceRate)
            throw CommandError(u"Viitekorko %1 % (alkaen %2) on liian suuri; kirjoita 0–%3 %."_s.arg(
                rateText, DateText(day), QString::number(kMaxReferenceRate / kRateScale)));
        if (byStart.count(day))
            throw CommandError(u"Puolivuoden %1 viitekorko on taulukossa kahdesti."_s.arg(DateText(day)));
        byStart[day] = *rate;
    }
    ReferenceRates rates;
    for (const auto &[start, rate] : byStart)
        rates.append({start, rate});
    return rates;
}

ReferenceRateRow NextReferenceRateRow(const QList<ReferenceRateRow> &rows, const QDate &today)
{
    const ReferenceRateRow *latest = nullptr;
    QDate latestStart;
    for (const ReferenceRateRow &row : rows) {
        const QDate start = ReadDate(row.start);
        if (isHalfYearStart(start) && (!latest || start > latestStart)) {
            latest = &row;
            latestStart = start;
        }
    }
    if (!latest)
        return {DateText(HalfYearStart(today)), QString()};
    return {DateText(HalfYearEnd(latestStart).addDays(1)), latest->rate.trimmed()};
}

std::optional<int> StatedPenaltyRate(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (!trimmed.endsWith(u'%'))
        return std::nullopt;
    return ParseRateText(trimmed.chopped(1));
}

QString MissingReferenceRateText(const QDate &halfYearStart)
{
    return u"Viitekorkoa ei ole puolivuodelle %1–%2; lisää se laskuttajan tietoihin."_s.arg(
        DateText(halfYearStart), DateText(HalfYearEnd(halfYearStart)));
}

PenaltyInterest CountPenaltyInterest(const InterestBasis &basis, const ReferenceRates &rates)
{
    PenaltyInterest interest;
    const QDate start = basis.dueDate.addDays(1);
    if (!basis.dueDate.isValid() || !basis.until.isValid() || basis.until < start)
        return interest;

    // The open amount on the first day, and its changes on later days.
    qint64 open = basis.totalCents;
    std::map<QDate, qint64> changes;
    for (const Payment &payment : basis.payments) {
        const QDate effective = payment.date.addDays(1);
        if (effective <= start)
            open -= payment.cents;
        else if (effective <= basis.until)
            changes[effective] -= payment.cents;
    }

    const int margin = basis.business ? kBusinessPenaltyMargin : kConsumerPenaltyMargin;
    // Each product open × rate × days stays below 10^11 × 10^5 × 184 < 2^63.
    YearShare common;
    YearShare leap;
    auto change = changes.begin();
    for (QDate first = start; first <= basis.until;) {
        QDate last = std::min(HalfYearEnd(first), basis.until);
        if (change != changes.end() && change->first <= last)
            last = change->first.addDays(-1);
        if (open > 0) {
            if (open > kMaxInterestBaseCents)
                throw CommandError(u"Avoin summa on liian suuri viivästyskoron laskemiseen."_s);
            const std::optional<int> reference = ReferenceRateOn(rates, first);
            if (!reference)
                throw CommandError(MissingReferenceRateText(HalfYearStart(first)));
            InterestPeriod period;
            period.first = first;
            period.last = last;
            period.openCents = open;
            period.referenceRate = *reference;
            period.rate = *reference + margin;
            period.statedRate = basis.statedRate && *basis.statedRate > period.rate;
            if (period.statedRate)
                period.rate = *basis.statedRate;
            period.days = int(first.daysTo(last)) + 1;
            period.daysInYear = first.daysInYear();
            (period.daysInYear == 366 ? leap : common)
                .add(open * period.rate * period.days, kPercentScale * period.daysInYear);
            interest.periods.append(period);
        }
        first = last.addDays(1);
        if (change != changes.end() && change->first == first) {
            open += change->second;
            ++change;
        }
    }
    // The two remainders over one denominator, 10 000 × 365 × 366.
    const qint64 denominator = kPercentScale * 365 * 366;
    const qint64 remainder = common.remainder * 366 + leap.remainder * 365;
    interest.cents = common.whole + leap.whole + remainder / denominator
        + (2 * (remainder % denominator) >= denominator ? 1 : 0);
    return interest;
}
