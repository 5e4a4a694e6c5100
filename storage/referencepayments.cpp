// Reading the fixed-width reference-payment file: batches of a header
// record, payment and correction records, and a total record the payments
// must add up to.

#include "storage/camt054.h"

#include "base/commanderror.h"
#include "storage/cp1252.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kRecordLength = 90;

// A field by its 1-based position and width, as the banks' layout gives it.
struct Field
{
    int from;
    int width;
    QStringView of(QStringView record) const { return record.mid(from - 1, width); }
};

constexpr QChar kBatchRecord = u'0';
constexpr QChar kPaymentRecord = u'3';
constexpr QChar kCorrectionRecord = u'5';
constexpr QChar kTotalRecord = u'9';

constexpr Field kEntryDate{16, 6};
constexpr Field kArchiveId{28, 16};
constexpr Field kReference{44, 20};
constexpr Field kPayer{64, 12};
constexpr Field kCurrency{76, 1};
constexpr Field kAmount{78, 10};
constexpr Field kCorrectionMark{88, 1};
constexpr QChar kEuroCode = u'1';

// The total record: the count and sum of the payment records, then of the
// correction records.
constexpr Field kPaymentCount{2, 6};
constexpr Field kPaymentSum{8, 11};
constexpr Field kCorrectionCount{19, 6};
constexpr Field kCorrectionSum{25, 11};

CommandError refusal(const QString &source, qsizetype line, const QString &what)
{
    return CommandError(u"Maksutiedostoa %1 ei luettu: rivillä %2 %3."_s.arg(source).arg(line).arg(what));
}

std::optional<qint64> digitsValue(QStringView text)
{
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return text.toLongLong();
}

struct BatchTotals
{
    qint64 payments = 0;
    qint64 paymentCents = 0;
    qint64 corrections = 0;
    qint64 correctionCents = 0;
};

} // namespace

BankPaymentFile ReadReferencePayments(const QByteArray &bytes, const QString &source)
{
    BankPaymentFile file{kReferencePaymentFormat.toString(), {}, 0};
    BatchTotals batch;
    bool inBatch = false;
    // The batch's identity: its record, told apart from an identical one
    // earlier in the file by how many came before.
    QString batchIdentity;
    QHash<QString, int> batchesSeen;
    qsizetype batchRecords = 0;
    // Line by line, one decoded at a time: blank lines cost nothing.
    qsizetype lineNumber = 0;
    for (qsizetype start = 0; start <= bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView raw = QByteArrayView(bytes).sliced(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (raw.isEmpty() || raw == "\r")
            continue;
        const QString line = cp1252ToString(raw);
        QStringView record(line);
        if (record.endsWith(u'\r'))
            record.chop(1);
        if (record.trimmed().isEmpty())
            continue;
        if (record.size() != kRecordLength)
            throw refusal(source, lineNumber, u"on %1 merkkiä, kun tietueessa on %2"_s.arg(record.size()).arg(kRecordLength));
        const QChar type = record[0];
        if (type == kBatchRecord) {
            if (inBatch)
                throw refusal(source, lineNumber, u"alkaa uusi erä, vaikka edellisellä ei ollut summatietuetta"_s);
            batch = BatchTotals{};
            inBatch = true;
            batchIdentity = record.trimmed().toString();
            if (const int before = batchesSeen[batchIdentity]++; before > 0)
                batchIdentity += u'/' + QString::number(before + 1);
            batchRecords = 0;
        } else if (type == kPaymentRecord || type == kCorrectionRecord) {
            if (!inBatch)
                throw refusal(source, lineNumber, u"oleva maksu ei kuulu erään (erätietue 0 puuttuu)"_s);
            const std::optional<qint64> cents = digitsValue(kAmount.of(record));
            if (!cents || *cents == 0)
                throw refusal(source, lineNumber, u"summa \"%1\" ei ole sentteinä"_s.arg(kAmount.of(record)));
            if (kCurrency.of(record) != QStringView(&kEuroCode, 1))
                throw refusal(source, lineNumber, u"oleva maksu ei ole euroina"_s);
            const QStringView mark = kCorrectionMark.of(record);
            if (mark != u"0" && mark != u"1")
                throw refusal(source, lineNumber, u"oikaisutunnus \"%1\" ei ole 0 eikä 1"_s.arg(mark));
            const QDate date = QDate::fromString(u"20"_s + kEntryDate.of(record).toString(), u"yyyyMMdd"_s);
            if (!date.isValid())
                throw refusal(source, lineNumber, u"kirjauspäivä \"%1\" ei ole päivämäärä"_s.arg(kEntryDate.of(record)));
            if (type == kPaymentRecord) {
                ++batch.payments;
                batch.paymentCents += *cents;
            } else {
                ++batch.corrections;
                batch.correctionCents += *cents;
            }
            const bool reversal = type == kCorrectionRecord || mark == u"1";
            ++batchRecords;
            QString reference = kReference.of(record).trimmed().toString();
            while (reference.startsWith(u'0'))
                reference.remove(0, 1);
            CheckRoomForPayment(file, source, lineNumber);
            file.payments.append(Payment{{}, {}, date, reversal ? -*cents : *cents, reference,
                                         kPayer.of(record).trimmed().toString(),
                                         kArchiveId.of(record).trimmed().toString(), source,
                                         BankFileEntry(batchIdentity, QString::number(batchRecords))});
        } else if (type == kTotalRecord) {
            if (!inBatch)
                throw refusal(source, lineNumber, u"oleva summatietue ei päätä erää"_s);
            const BatchTotals stated{digitsValue(kPaymentCount.of(record)).value_or(-1),
                                     digitsValue(kPaymentSum.of(record)).value_or(-1),
                                     digitsValue(kCorrectionCount.of(record)).value_or(-1),
                                     digitsValue(kCorrectionSum.of(record)).value_or(-1)};
            if (stated.payments != batch.payments || stated.paymentCents != batch.paymentCents
                || stated.corrections != batch.corrections || stated.correctionCents != batch.correctionCents)
                throw refusal(source, lineNumber,
                              u"summatietueen määrät eivät täsmää erän maksuihin (%1 maksua, %2 senttiä; %3 oikaisua, %4 senttiä)"_s
                                  .arg(batch.payments).arg(batch.paymentCents).arg(batch.corrections).arg(batch.correctionCents));
            inBatch = false;
        } else {
            throw refusal(source, lineNumber, u"tietuetyyppi \"%1\" ei ole 0, 3, 5 eikä 9"_s.arg(type));
        }
    }
    if (inBatch)
        throw refusal(source, lineNumber, u"päättyy tiedosto ilman erän summatietuetta"_s);
    return file;
}
