// Reading "d.m.yyyy" dates: one rule for the totals, ledger, reminders,
// penalty interest, payment codes and e-invoices.

#include "dates.h"

namespace {

constexpr qsizetype kYearDigits = 4;

// The number of a run of ASCII digits from position i, moving i past it; -1
// when the run's length is not within [shortest, longest].
int takeNumber(QStringView text, qsizetype &i, qsizetype shortest, qsizetype longest)
{
    int value = 0;
    const qsizetype start = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && i - start < longest)
        value = value * 10 + (text[i++].unicode() - u'0');
    return i - start < shortest ? -1 : value;
}

} // namespace

QDate ReadDate(QStringView text)
{
    const QStringView plain = text.trimmed();
    qsizetype i = 0;
    const int day = takeNumber(plain, i, 1, 2);
    if (day < 0 || i >= plain.size() || plain[i++] != u'.')
        return {};
    const int month = takeNumber(plain, i, 1, 2);
    if (month < 0 || i >= plain.size() || plain[i++] != u'.')
        return {};
    const int year = takeNumber(plain, i, kYearDigits, kYearDigits);
    if (year < 0 || i != plain.size())
        return {};
    // No year 0 and no day 0: the empty date "00.00.0000" stays invalid.
    return QDate(year, month, day);
}
