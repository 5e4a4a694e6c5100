// Reading a camt.054 notification's booked entries into payments.

#include "storage/camt054.h"

#include "base/commanderror.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kNamespacePrefix = u"urn:iso:std:iso:20022:tech:xsd:"_s;
const QString kEuro = u"EUR"_s;

// The elements from the document down to the entries, and to the message's
// own identity.
constexpr std::array<QStringView, 3> kEntryParent{u"Document", u"BkToCstmrDbtCdtNtfctn", u"Ntfctn"};
constexpr std::array<QStringView, 4> kMessageIdPath{u"Document", u"BkToCstmrDbtCdtNtfctn", u"GrpHdr", u"MsgId"};

// No notification nests nearly this deep; a file that does is refused
// before its nesting costs anything.
constexpr int kMaxDepth = 64;

// The reader is given the file a piece at a time, so that what it decodes
// stays small beside the file.
constexpr qsizetype kPieceBytes = 64 * 1024;

// A transaction's path below its entry, and of its structured remittance.
const QString kTransactionPath = u"/NtryDtls/TxDtls"_s;
const QString kStructuredPath = kTransactionPath + u"/RmtInf/Strd"_s;

CommandError refusal(const QString &source, qint64 line, const QString &what)
{
    return CommandError(u"Maksutiedostoa %1 ei luettu: rivillä %2 %3."_s.arg(source).arg(line).arg(what));
}

// The text of the first element at a path; later ones are not read.
struct Field
{
    QString text;
    bool seen = false;
};

struct Amount
{
    Field field;
    QString currency;
    qint64 line = 0;
};

struct Transaction
{
    qint64 line = 0;
    Amount amount;
    Amount detailsAmount;
    Field payer;
    Field partyPayer;
    Field accountServicerRef;
    // The first non-empty reference of the first RmtInf's Strd elements.
    QString reference;
    int remittances = 0;
    Field structuredReference;
};

// What an entry says that a payment needs, gathered as it is read: nothing
// else of the entry is kept. Its transactions are payments already, from
// firstPayment on, finished when the entry ends.
struct Entry
{
    qint64 line = 0;
    qint64 position = 0;
    Amount amount;
    Field indicator;
    Field status;
    Field statusCode;
    Field date;
    Field dateTime;
    Field accountServicerRef;
    Field entryRef;
    qsizetype firstPayment = 0;
    qsizetype transactions = 0;
    // The first transaction without a readable amount, told once the entry
    // is known good: what is wrong with its amount, or nothing when it has none.
    std::optional<qint64> problemLine;
    std::optional<CommandError> problem;
};

// Cents of an XML decimal amount ("123.45", "7", "7.5"); nullopt otherwise
// or when not above zero.
std::optional<qint64> centsOf(const QString &text)
{
    const qsizetype point = text.indexOf(u'.');
    const QString euros = point < 0 ? text : text.left(point);
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    while (fraction.size() > 2 && fraction.endsWith(u'0'))
        fraction.chop(1);
    const auto digits = [](const QString &s) {
        return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (euros.isEmpty() || euros.size() > 12 || fraction.size() > 2 || !digits(euros) || !digits(fraction))
        return std::nullopt;
    const qint64 cents = euros.toLongLong() * 100 + fraction.leftJustified(2, u'0').toLongLong();
    return cents > 0 ? std::optional<qint64>(cents) : std::nullopt;
}

qint64 amountOf(const Amount &amount, const QString &source)
{
    if (amount.currency != kEuro)
        throw refusal(source, amount.line, u"on maksu valuutassa \"%1\": vain euromaksut luetaan"_s.arg(amount.currency));
    const QString text = amount.field.text.trimmed();
    const std::optional<qint64> cents = centsOf(text);
    if (!cents)
        throw refusal(source, amount.line, u"oleva summa \"%1\" ei ole euromäärä"_s.arg(text.left(40)));
    return *cents;
}

QDate bookingDate(const Entry &entry, const QString &source)
{
    const QString day = entry.date.text.trimmed().isEmpty() ? entry.dateTime.text.trimmed().left(10)
                                                            : entry.date.text.trimmed();
    const QDate date = QDate::fromString(day, Qt::ISODate);
    if (!date.isValid())
        throw refusal(source, entry.line, u"alkavalla kirjauksella ei ole kirjauspäivää"_s);
    return date;
}

// The notification read element by element: a depth count and the names of
// the outer levels tell where the reader is, so that neither deep nesting
// nor many elements cost more than their reading.
class NotificationReader
{
public:
    NotificationReader(const QByteArray &bytes, const QString &source) : m_bytes(bytes), m_source(source) {}

    BankPaymentFile read()
    {
        while (true) {
            m_reader.readNext();
            if (m_reader.error() == QXmlStreamReader::PrematureEndOfDocumentError && m_fed < m_bytes.size()) {
                const qsizetype piece = std::min(kPieceBytes, m_bytes.size() - m_fed);
                m_reader.addData(m_bytes.sliced(m_fed, piece));
                m_fed += piece;
                continue;
            }
            if (m_reader.atEnd() || m_reader.hasError())
                break;
            // A DTD could declare entities to expand or fetch; a bank's file has none.
            if (m_reader.tokenType() == QXmlStreamReader::DTD)
                throw refusal(m_source, m_reader.lineNumber(), u"on DTD-määrittely, jota maksutiedostossa ei hyväksytä"_s);
            if (m_reader.isStartElement())
                startElement();
            else if (m_reader.isEndElement())
                endElement();
            else if (m_reader.isCharacters() && m_target)
                m_target->text += m_reader.text();
        }
        if (m_reader.hasError())
            throw refusal(m_source, m_reader.lineNumber(), u"XML on rikki (%1)"_s.arg(m_reader.errorString()));
        return std::move(m_file);
    }

private:
    void startElement()
    {
        ++m_depth;
        if (m_depth > kMaxDepth)
            throw refusal(m_source, m_reader.lineNumber(), u"on elementtejä sisäkkäin yli %1 tasoa"_s.arg(kMaxDepth));
        const QStringView name = m_reader.name();
        if (m_depth == 1)
            checkDocument();
        if (m_depth <= int(m_outer.size()) && m_known == m_depth - 1) {
            m_outer[m_depth - 1] = name.toString();
            m_known = m_depth;
        }
        m_targets.push_back(m_target);
        m_pathLengths.push_back(m_path.size());
        m_target = nullptr;
        if (m_entry) {
            m_path += u'/';
            m_path += name;
            startInEntry();
        } else if (m_depth == int(kEntryParent.size()) + 1 && outerIs(kEntryParent) && name == u"Ntry") {
            m_entry.emplace();
            m_entry->line = m_reader.lineNumber();
            m_entry->position = ++m_entries;
            m_entry->firstPayment = m_file.payments.size();
            m_entryDepth = m_depth;
        } else if (m_depth == int(kMessageIdPath.size()) && outerIs(kMessageIdPath)) {
            m_target = &m_messageId;
        }
    }

    void endElement()
    {
        if (m_entry) {
            if (m_depth == m_entryDepth) {
                finishEntry(*m_entry);
                m_entry.reset();
            } else if (m_path == kTransactionPath) {
                appendTransaction(*m_entry, *m_transaction);
                m_transaction.reset();
            } else if (m_path == kStructuredPath && m_transaction) {
                Transaction &tx = *m_transaction;
                if (tx.remittances == 1 && tx.reference.isEmpty())
                    tx.reference = tx.structuredReference.text.trimmed();
            }
        }
        if (m_known == m_depth)
            --m_known;
        --m_depth;
        m_target = m_targets.back();
        m_targets.pop_back();
        m_path.truncate(m_pathLengths.back());
        m_pathLengths.pop_back();
    }

    void checkDocument()
    {
        const QStringView ns = m_reader.namespaceUri();
        for (QStringView version : kCamt054Versions) {
            if (ns == kNamespacePrefix + version.toString())
                m_file.format = version.toString();
        }
        if (m_reader.name() != u"Document"_s || m_file.format.isEmpty())
            throw refusal(m_source, m_reader.lineNumber(),
                          u"alkava tiedosto ei ole camt.054-tiliilmoitus (versio 001.02, 001.04 tai 001.08)"_s);
    }

    template <std::size_t N>
    bool outerIs(const std::array<QStringView, N> &names) const
    {
        return m_known >= int(N) && std::equal(names.begin(), names.end(), m_outer.begin());
    }

    // The first element at a path is read; later ones are not.
    void take(Field &field)
    {
        if (!field.seen) {
            field.seen = true;
            m_target = &field;
        }
    }
    void takeAmount(Amount &amount)
    {
        if (amount.field.seen)
            return;
        amount.currency = m_reader.attributes().value(u"Ccy"_s).toString();
        amount.line = m_reader.lineNumber();
        take(amount.field);
    }

    void startInEntry()
    {
        Entry &entry = *m_entry;
        if (m_path == kTransactionPath) {
            m_transaction.emplace();
            m_transaction->line = m_reader.lineNumber();
            return;
        }
        if (m_transaction && m_path.startsWith(kTransactionPath) && m_path[kTransactionPath.size()] == u'/') {
            startInTransaction(*m_transaction, QStringView(m_path).sliced(kTransactionPath.size()));
            return;
        }
        if (m_path == u"/Amt")
            takeAmount(entry.amount);
        else if (m_path == u"/CdtDbtInd")
            take(entry.indicator);
        else if (m_path == u"/Sts")
            take(entry.status);
        else if (m_path == u"/Sts/Cd")
            take(entry.statusCode);
        else if (m_path == u"/BookgDt/Dt")
            take(entry.date);
        else if (m_path == u"/BookgDt/DtTm")
            take(entry.dateTime);
        else if (m_path == u"/AcctSvcrRef")
            take(entry.accountServicerRef);
        else if (m_path == u"/NtryRef")
            take(entry.entryRef);
    }

    void startInTransaction(Transaction &tx, QStringView path)
    {
        if (path == u"/Amt")
            takeAmount(tx.amount);
        else if (path == u"/AmtDtls/TxAmt/Amt")
            takeAmount(tx.detailsAmount);
        else if (path == u"/RltdPties/Dbtr/Nm")
            take(tx.payer);
        else if (path == u"/RltdPties/Dbtr/Pty/Nm")
            take(tx.partyPayer);
        else if (path == u"/Refs/AcctSvcrRef")
            take(tx.accountServicerRef);
        else if (path == u"/RmtInf")
            ++tx.remittances;
        else if (path == u"/RmtInf/Strd" && tx.remittances == 1)
            tx.structuredReference = Field{};
        else if (path == u"/RmtInf/Strd/CdtrRefInf/Ref" && tx.remittances == 1)
            take(tx.structuredReference);
    }

    // A transaction read is a payment of the entry; what it needs of the
    // entry is filled in when the entry ends. Its archive id is the
    // transaction's own for now, and 0 cents stand for no amount.
    void appendTransaction(Entry &entry, const Transaction &tx)
    {
        ++entry.transactions;
        const Amount *amount = tx.amount.field.seen ? &tx.amount
            : tx.detailsAmount.field.seen          ? &tx.detailsAmount
                                                   : nullptr;
        qint64 cents = 0;
        if (amount) {
            try {
                cents = amountOf(*amount, m_source);
            } catch (const CommandError &error) {
                if (!entry.problemLine) {
                    entry.problem = error;
                    entry.problemLine = tx.line;
                }
            }
        } else if (!entry.problemLine) {
            entry.problemLine = tx.line;
        }
        QString payer = tx.payer.text.trimmed();
        if (payer.isEmpty())
            payer = tx.partyPayer.text.trimmed();
        CheckRoomForPayment(m_file, m_source, tx.line);
        m_file.payments.append(Payment{{}, {}, {}, cents, tx.reference, payer, tx.accountServicerRef.text.trimmed(),
                                       m_source, QString()});
    }

    // The transactions of a booked entry, each a payment; an entry without
    // transaction details is one payment of its own amount. Those of an
    // entry not booked are left out.
    void finishEntry(Entry &entry)
    {
        const QString code = entry.statusCode.seen ? entry.statusCode.text.trimmed() : entry.status.text.trimmed();
        if (code != u"BOOK"_s) {
            m_file.payments.resize(entry.firstPayment);
            ++m_file.unbookedEntries;
            return;
        }
        const QString indicator = entry.indicator.text.trimmed();
        if (indicator != u"CRDT"_s && indicator != u"DBIT"_s)
            throw refusal(m_source, entry.line, u"alkavan kirjauksen suunta ei ole CRDT eikä DBIT"_s);
        const qint64 sign = indicator == u"DBIT"_s ? -1 : 1;
        const QDate date = bookingDate(entry, m_source);
        // The identity the bank gave the entry.
        QString entryId = entry.accountServicerRef.text.trimmed();
        if (entryId.isEmpty())
            entryId = entry.entryRef.text.trimmed();
        if (!entry.amount.field.seen)
            throw refusal(m_source, entry.line, u"alkavalla kirjauksella ei ole summaa"_s);
        const qint64 entryCents = amountOf(entry.amount, m_source);
        // Where the entry stands in this message: the message's identity and
        // the entry's position, known again when the same file comes again.
        const QString messageId = m_messageId.text.trimmed();
        const QString place = messageId.isEmpty() ? QString() : BankFileEntry(messageId, QString::number(entry.position));

        const bool several = entry.transactions > 1;
        if (entry.problem)
            throw *entry.problem;
        if (entry.problemLine && several)
            throw refusal(m_source, *entry.problemLine, u"alkavalla maksulla ei ole summaa"_s);
        if (entry.transactions == 0) {
            CheckRoomForPayment(m_file, m_source, entry.line);
            m_file.payments.append(Payment{{}, {}, {}, entryCents, {}, {}, QString(), m_source, QString()});
        }
        for (qsizetype i = entry.firstPayment; i < m_file.payments.size(); ++i) {
            Payment &payment = m_file.payments[i];
            const QString position = QString::number(i - entry.firstPayment + 1);
            payment.date = date;
            payment.cents = sign * (payment.cents == 0 ? entryCents : payment.cents);
            // Each transaction needs an identity of its own to be known again.
            const QString txId = payment.archiveId;
            payment.archiveId = entryId;
            if (!txId.isEmpty())
                payment.archiveId += u'/' + txId;
            else if (several && !entryId.isEmpty())
                payment.archiveId += u'/' + position;
            payment.fileEntry = place.isEmpty() || !several ? place : place + u'/' + position;
            if (payment.archiveId.isEmpty() && payment.fileEntry.isEmpty())
                throw refusal(m_source, entry.line,
                              u"alkavalla kirjauksella ei ole arkistotunnusta eikä tiedostolla sanomatunnusta "
                              "(GrpHdr/MsgId), joten sen uutta tuontia ei tunnistettaisi"_s);
        }
    }

    const QByteArray &m_bytes;
    const QString &m_source;
    QXmlStreamReader m_reader;
    qsizetype m_fed = 0;
    BankPaymentFile m_file;

    int m_depth = 0;
    // The names of the outer levels, as far as they are known (m_known).
    std::array<QString, 4> m_outer;
    int m_known = 0;
    Field m_messageId;
    qint64 m_entries = 0;

    // The entry being read, its depth and the path below it, and its
    // transaction being read.
    std::optional<Entry> m_entry;
    std::optional<Transaction> m_transaction;
    int m_entryDepth = 0;
    QString m_path;
    std::vector<qsizetype> m_pathLengths;
    // Where the text of the element being read goes, and of those around it.
    Field *m_target = nullptr;
    std::vector<Field *> m_targets;
};

} // namespace

QString BankFileEntry(const QString &fileIdentity, const QString &position)
{
    return fileIdentity + u'#' + position;
}

BankPaymentFile ReadCamt054(const QByteArray &bytes, const QString &source)
{
    return NotificationReader(bytes, source).read();
}
