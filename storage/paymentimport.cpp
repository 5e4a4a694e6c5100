// Importing a bank's payment file: which reader, the reference keys, and the
// matching of payments to invoices.

#include "storage/paymentimport.h"

#include "base/commanderror.h"
#include "invoice/numbering.h"
#include "storage/camt054.h"
#include "storage/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <exception>
#include <new>

using namespace Qt::StringLiterals;

namespace {

QString tooLargeText(const QString &source)
{
    return u"Maksutiedostoa %1 ei luettu: se on suurempi kuin %2 Mt."_s.arg(source).arg(kMaxPaymentFileBytes / (1024 * 1024));
}

// Runs the step of reading or matching the file; any failure of it but
// the program's own messages becomes a message naming the file, so that the
// file is refused whole and nothing of it is stored.
template <typename Step>
auto asFileMessage(const QString &source, Step step)
{
    try {
        return step();
    } catch (const CommandError &) {
        throw;
    } catch (const std::bad_alloc &) {
        throw CommandError(PaymentFileOutOfMemoryText(source));
    } catch (const std::exception &error) {
        throw CommandError(u"Maksutiedostoa %1 ei luettu: lukeminen keskeytyi (%2)."_s.arg(source, QString::fromUtf8(error.what())));
    }
}

// What a payment is known by when its file comes again: the identity the
// bank gave it, else its place in the bank's file; with the sign, since a
// bank may give a reversal the id of the payment it takes back. The text is
// the payment's own, shared, not copied.
struct Identity
{
    bool reversal = false;
    bool fromBank = false;
    QString text;
    friend bool operator==(const Identity &, const Identity &) = default;
};

size_t qHash(const Identity &identity, size_t seed = 0)
{
    return qHashMulti(seed, identity.reversal, identity.fromBank, identity.text);
}

// Nothing for a payment with neither, which no other payment can be.
std::optional<Identity> identityOf(const Payment &payment)
{
    if (!payment.archiveId.isEmpty())
        return Identity{payment.cents < 0, true, payment.archiveId};
    if (!payment.fileEntry.isEmpty())
        return Identity{payment.cents < 0, false, payment.fileEntry};
    return std::nullopt;
}

// A payment an earlier version kept from a bank's file that gave it no
// archive id: it kept no place in the file either.
bool keptWithoutIdentity(const Payment &payment)
{
    return payment.archiveId.isEmpty() && payment.fileEntry.isEmpty() && payment.source != kManualPaymentSource;
}

// What such a payment says of itself.
QString contentKey(const Payment &payment)
{
    return (payment.cents < 0 ? u"-"_s : u"+"_s) + DateText(payment.date) + u'|' + QString::number(payment.cents)
        + u'|' + ReferenceMatchKey(payment.reference) + u'|' + payment.payer;
}

QString amountKey(const QString &referenceKey, qint64 cents)
{
    return referenceKey + u'|' + QString::number(cents);
}

QString invoiceKey(const QString &year, const QString &number)
{
    return year + u'/' + number;
}

// The payments a reversal may take back: positive ones not taken back yet.
class Reversible
{
public:
    void add(const Payment &payment)
    {
        const qsizetype index = m_payments.size();
        m_payments.append(payment);
        m_open.append(true);
        m_byAmount[amountKey(ReferenceMatchKey(payment.reference), payment.cents)].append(index);
        if (!payment.archiveId.isEmpty())
            m_byArchiveId[payment.archiveId].append(index);
    }

    // Takes back the payment the reversal names by archive id, else the
    // latest of its reference and amount.
    std::optional<Payment> takeBack(const Payment &reversal)
    {
        const auto latestOpen = [this](const QList<qsizetype> &indices) -> std::optional<qsizetype> {
            for (auto i = indices.crbegin(); i != indices.crend(); ++i) {
                if (m_open[*i])
                    return *i;
            }
            return std::nullopt;
        };
        std::optional<qsizetype> found;
        if (!reversal.archiveId.isEmpty())
            found = latestOpen(m_byArchiveId.value(reversal.archiveId));
        if (!found)
            found = latestOpen(m_byAmount.value(amountKey(ReferenceMatchKey(reversal.reference), -reversal.cents)));
        if (!found)
            return std::nullopt;
        m_open[*found] = false;
        return m_payments[*found];
    }

private:
    QList<Payment> m_payments;
    QList<bool> m_open;
    QHash<QString, QList<qsizetype>> m_byAmount;
    QHash<QString, QList<qsizetype>> m_byArchiveId;
};

} // namespace

QString PaymentFileOutOfMemoryText(const QString &path)
{
    return u"Maksutiedostoa %1 ei luettu: muisti ei riittänyt sen lukemiseen."_s.arg(QFileInfo(path).fileName());
}

void CheckRoomForPayment(const BankPaymentFile &file, const QString &source, qint64 line)
{
    if (file.payments.size() >= kMaxTextLines)
        throw CommandError(u"Maksutiedostoa %1 ei luettu: rivillä %2 on maksuja jo %3, enemmän ei mahdu maksujen tiedostoon."_s
                               .arg(source).arg(line).arg(kMaxTextLines));
}

BankPaymentFile ReadBankPayments(const QByteArray &bytes, const QString &source)
{
    if (bytes.size() > kMaxPaymentFileBytes)
        throw CommandError(tooLargeText(source));
    QByteArrayView start(bytes);
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.sliced(3);
    start = start.trimmed();
    if (start.startsWith('<'))
        return ReadCamt054(bytes, source);
    if (start.startsWith('0'))
        return ReadReferencePayments(bytes, source);
    throw CommandError(u"Maksutiedostoa %1 ei luettu: se ei ole camt.054-tiliilmoitus eikä viitesiirtoaineisto."_s.arg(source));
}

BankPaymentFile ReadBankPaymentFile(const QString &path)
{
    const QString source = QFileInfo(path).fileName();
    return asFileMessage(source, [&] {
        if (!IsRegularFileOrMissing(path))
            throw FileOpenError(path);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw FileOpenError(path);
        if (file.size() > kMaxPaymentFileBytes)
            throw CommandError(tooLargeText(QDir::toNativeSeparators(path)));
        // One byte past its size: a file at the limit that grew while read is
        // refused, and no more memory is set aside than the file takes.
        const QByteArray bytes = file.read(file.size() + 1);
        if (file.error() != QFileDevice::NoError)
            throw FileOpenError(path);
        return ReadBankPayments(bytes, source);
    });
}

QString ReferenceMatchKey(QStringView reference)
{
    QString plain;
    for (QChar c : reference) {
        if (!c.isSpace())
            plain += c.toUpper();
    }
    const bool rf = IsRfReference(plain);
    QString body = rf ? RfReferenceBody(plain) : plain;
    const bool digits = std::all_of(body.begin(), body.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (digits) {
        const auto firstNonZero = std::find_if(body.cbegin(), body.cend(), [](QChar c) { return c != u'0'; });
        return body.mid(firstNonZero - body.cbegin());
    }
    return rf ? u"RF"_s + body : body;
}

QString PaymentClassText(PaymentClass paymentClass)
{
    switch (paymentClass) {
    case PaymentClass::Pays:
        return u"maksaa laskun"_s;
    case PaymentClass::Partial:
        return u"osasuoritus"_s;
    case PaymentClass::Overpays:
        return u"ylisuoritus"_s;
    case PaymentClass::UnknownReference:
        return u"tuntematon viite"_s;
    case PaymentClass::AlreadyImported:
        return u"jo tuotu"_s;
    case PaymentClass::Reversal:
        return u"palautus"_s;
    }
    return QString();
}

PaymentImport MatchPayments(const QList<Payment> &incoming, const QList<PayableInvoice> &invoices,
                            const QList<Payment> &kept)
{
    QHash<QString, QList<qsizetype>> byReference;
    QHash<QString, qsizetype> byNumber;
    QList<qint64> open;
    open.reserve(invoices.size());
    byReference.reserve(invoices.size());
    byNumber.reserve(invoices.size());
    for (qsizetype i = 0; i < invoices.size(); ++i) {
        const PayableInvoice &invoice = invoices[i];
        open.append(invoice.totalCents - invoice.paidCents);
        if (const QString key = ReferenceMatchKey(invoice.reference); !key.isEmpty())
            byReference[key].append(i);
        byNumber.insert(invoiceKey(invoice.year, invoice.number), i);
    }
    // Of invoices sharing a reference, the first still open takes the payment.
    const auto invoiceOfReference = [&](const QString &reference) -> std::optional<qsizetype> {
        const QList<qsizetype> candidates = byReference.value(ReferenceMatchKey(reference));
        if (candidates.isEmpty())
            return std::nullopt;
        const auto stillOpen = std::find_if(candidates.begin(), candidates.end(), [&](qsizetype i) { return open[i] > 0; });
        return stillOpen != candidates.end() ? *stillOpen : candidates.first();
    };

    QSet<Identity> seen;
    // Of payments kept without an identity, how many say each thing.
    QHash<QString, qsizetype> keptAlike;
    for (const Payment &payment : kept) {
        if (const std::optional<Identity> identity = identityOf(payment))
            seen.insert(*identity);
        else if (keptWithoutIdentity(payment))
            ++keptAlike[contentKey(payment)];
    }

    PaymentImport result;
    // The payments a reversal may take back, gathered at the first reversal:
    // most files have none.
    std::optional<Reversible> takenBack;
    const auto reversible = [&]() -> Reversible & {
        if (!takenBack) {
            takenBack.emplace();
            for (const Payment &payment : kept) {
                if (payment.cents > 0)
                    takenBack->add(payment);
                else
                    takenBack->takeBack(payment);
            }
            for (const ImportedPayment &earlier : std::as_const(result.payments)) {
                if (earlier.paymentClass != PaymentClass::AlreadyImported && earlier.payment.cents > 0)
                    takenBack->add(earlier.payment);
            }
        }
        return *takenBack;
    };
    result.payments.reserve(incoming.size());
    for (const Payment &payment : incoming) {
        ImportedPayment imported{payment, PaymentClass::UnknownReference, 0, nullptr};
        imported.payment.year.clear();
        imported.payment.invoiceNumber.clear();
        bool already = false;
        if (const std::optional<Identity> identity = identityOf(payment)) {
            already = seen.contains(*identity);
            seen.insert(*identity);
        }
        if (!already && payment.archiveId.isEmpty() && !keptAlike.isEmpty()) {
            const auto alike = keptAlike.find(contentKey(payment));
            if (alike != keptAlike.end() && *alike > 0) {
                --*alike;
                already = true;
            }
        }
        if (already) {
            imported.paymentClass = PaymentClass::AlreadyImported;
            result.payments.append(imported);
            continue;
        }
        std::optional<qsizetype> invoice;
        if (payment.cents < 0) {
            imported.paymentClass = PaymentClass::Reversal;
            if (const std::optional<Payment> reversed = reversible().takeBack(payment))
                imported.reversed = std::make_shared<const Payment>(*reversed);
            if (imported.reversed && imported.reversed->matched()) {
                const auto it = byNumber.constFind(invoiceKey(imported.reversed->year, imported.reversed->invoiceNumber));
                if (it != byNumber.cend())
                    invoice = *it;
            }
            if (!invoice)
                invoice = invoiceOfReference(payment.reference);
        } else {
            invoice = invoiceOfReference(payment.reference);
            if (invoice) {
                const qint64 due = open[*invoice];
                imported.paymentClass = payment.cents == due ? PaymentClass::Pays
                    : payment.cents < due                    ? PaymentClass::Partial
                                                             : PaymentClass::Overpays;
            }
        }
        if (invoice) {
            open[*invoice] -= payment.cents;
            imported.openCentsAfter = open[*invoice];
            imported.payment.year = invoices[*invoice].year;
            imported.payment.invoiceNumber = invoices[*invoice].number;
        }
        if (payment.cents > 0 && takenBack)
            takenBack->add(imported.payment);
        result.payments.append(imported);
    }
    return result;
}

PaymentImport ImportPaymentFile(const QString &path, const QList<PayableInvoice> &invoices, const QList<Payment> &kept)
{
    return asFileMessage(QFileInfo(path).fileName(), [&] {
        BankPaymentFile file = ReadBankPaymentFile(path);
        PaymentImport result = MatchPayments(file.payments, invoices, kept);
        result.format = file.format;
        result.unbookedEntries = file.unbookedEntries;
        return result;
    });
}

QList<Payment> PaymentsToStore(const PaymentImport &import)
{
    QList<Payment> payments;
    for (const ImportedPayment &imported : import.payments) {
        if (imported.paymentClass != PaymentClass::AlreadyImported)
            payments.append(imported.payment);
    }
    return payments;
}

QStringList ImportedPaymentHeadings()
{
    return {u"Tulos"_s, u"Päivä"_s, u"Summa"_s, u"Viite"_s, u"Maksaja"_s, u"Lasku"_s};
}

QStringList ImportedPaymentCells(const ImportedPayment &imported)
{
    const Payment &payment = imported.payment;
    return {PaymentClassText(imported.paymentClass), DateText(payment.date), PaymentAmountText(payment.cents),
            payment.reference, payment.payer,
            payment.matched() ? payment.year + u'/' + payment.invoiceNumber : QString()};
}

QString ImportSummaryText(const QString &path, const PaymentImport &import)
{
    const auto stored = std::count_if(import.payments.begin(), import.payments.end(), [](const ImportedPayment &p) {
        return p.paymentClass != PaymentClass::AlreadyImported;
    });
    QString text = u"%1: %2 maksua (%3), tallennettavia %4."_s.arg(QFileInfo(path).fileName())
                       .arg(import.payments.size())
                       .arg(import.format)
                       .arg(stored);
    if (import.unbookedEntries > 0)
        text += u" Kirjaamattomia tapahtumia %1; ne tuodaan, kun pankki on kirjannut ne."_s.arg(import.unbookedEntries);
    return text;
}
