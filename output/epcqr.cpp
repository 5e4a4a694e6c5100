// The payment QR code's text from the giro form's captions.

#include "epcqr.h"

#include "invoice/amount.h"
#include "invoice/dates.h"

#include <QDate>
#include <QList>
#include <QStringList>

#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

// The amounts a credit transfer in the QR code may carry, in cents.
constexpr std::int64_t kLowestCents = 1;
constexpr std::int64_t kHighestCents = 99'999'999'999;

constexpr qsizetype kLongestName = 70;

// A due date "d.m.yyyy" as YYYY-MM-DD, or nullopt when it is no real date.
std::optional<QString> isoDateOf(QStringView text)
{
    const QDate date = ReadDate(text);
    if (!date.isValid())
        return std::nullopt;
    return date.toString(u"yyyy-MM-dd");
}

// The payee's name on one line, cut to 70 characters, never inside a
// character of two UTF-16 units.
QString payeeNameOf(QStringView name)
{
    const QString simple = name.toString().simplified();
    qsizetype end = 0;
    for (qsizetype characters = 0; characters < kLongestName && end < simple.size(); ++characters)
        end += simple[end].isHighSurrogate() && end + 1 < simple.size() ? 2 : 1;
    return simple.left(end).trimmed();
}

} // namespace

std::optional<QString> EpcQrText(QStringView bic, QStringView payeeName, QStringView iban,
                                 QStringView amount, QStringView reference, QStringView dueDate)
{
    // A BIC may be left out: in version 002 a bank routes by the IBAN alone.
    if (!IsValidIban(iban) || (!WithoutBlanks(bic).isEmpty() && !IsValidBic(bic)))
        return std::nullopt;
    const std::optional<qint64> cents = ParseCents(amount);
    if (!cents || *cents < kLowestCents || *cents > kHighestCents)
        return std::nullopt;
    const QString structuredReference = WithoutBlanks(reference);
    if (structuredReference.isEmpty())
        return std::nullopt;

    QStringList lines = {
        u"BCD"_s,
        u"002"_s,
        u"1"_s,
        u"SCT"_s,
        WithoutBlanks(bic),
        payeeNameOf(payeeName),
        WithoutBlanks(iban),
        u"EUR%1.%2"_s.arg(*cents / 100).arg(QString::number(*cents % 100).rightJustified(2, u'0')),
        QString(),
        structuredReference,
    };
    if (const std::optional<QString> date = isoDateOf(dueDate)) {
        lines.append(QString());
        lines.append(u"ReqdExctnDt/"_s + *date);
    }
    QString text = lines.join(u'\n');
    if (text.toUtf8().size() > kEpcQrMaxBytes)
        return std::nullopt;
    return text;
}
