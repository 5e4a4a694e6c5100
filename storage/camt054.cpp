// Reading a camt.054 notification's booked entries into payments.

#include "storage/camt054.h"

#include "storage/commanderror.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kNamespacePrefix = u"urn:iso:std:iso:20022:tech:xsd:"_s;
const QString kEuro = u"EUR"_s;
const QString kEntryParent = u"Document/BkToCstmrDbtCdtNtfctn/Ntfctn"_s;

// One element of an entry, read whole: entries are small, and reading them
// as a tree keeps the paths of the three versions in one place.
struct Element
{
    QString name;
    QString text;
    QString currency;
    qint64 line = 0;
    std::vector<std::unique_ptr<Element>> children;

    const Element *child(QStringView childName) const
    {
        for (const auto &c : children) {
            if (c->name == childName)
                return c.get();
        }
        return nullptr;
    }
    QList<const Element *> all(QStringView childName) const
    {
        QList<const Element *> found;
        for (const auto &c : children) {
            if (c->name == childName)
                found << c.get();
        }
        return found;
    }
    // The element at a path of names ("BookgDt/Dt"); nullptr when missing.
    const Element *at(QStringView path) const
    {
        const Element *e = this;
        for (QStringView part : path.tokenize(u'/')) {
            e = e->child(part);
            if (!e)
                return nullptr;
        }
        return e;
    }
    QString textAt(QStringView path) const
    {
        const Element *e = at(path);
        return e ? e->text.trimmed() : QString();
    }
};

CommandError refusal(const QString &source, qint64 line, const QString &what)
{
    return CommandError(u"Maksutiedostoa %1 ei luettu: rivillä %2 %3."_s.arg(source).arg(line).arg(what));
}

std::unique_ptr<Element> readElement(QXmlStreamReader &reader)
{
    auto element = std::make_unique<Element>();
    element->name = reader.name().toString();
    element->line = reader.lineNumber();
    element->currency = reader.attributes().value(u"Ccy"_s).toString();
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement())
            element->children.push_back(readElement(reader));
        else if (reader.isCharacters())
            element->text += reader.text();
        else if (reader.isEndElement())
            break;
    }
    return element;
}

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

qint64 amountOf(const Element &amount, const QString &source)
{
    if (amount.currency != kEuro)
        throw refusal(source, amount.line, u"on maksu valuutassa \"%1\": vain euromaksut luetaan"_s.arg(amount.currency));
    const std::optional<qint64> cents = centsOf(amount.text.trimmed());
    if (!cents)
        throw refusal(source, amount.line, u"oleva summa \"%1\" ei ole euromäärä"_s.arg(amount.text.trimmed().left(40)));
    return *cents;
}

QDate bookingDate(const Element &entry, const QString &source)
{
    const QString day = entry.textAt(u"BookgDt/Dt").isEmpty() ? entry.textAt(u"BookgDt/DtTm").left(10)
                                                                : entry.textAt(u"BookgDt/Dt");
    const QDate date = QDate::fromString(day, Qt::ISODate);
    if (!date.isValid())
        throw refusal(source, entry.line, u"alkavalla kirjauksella ei ole kirjauspäivää"_s);
    return date;
}

// The transactions of a booked entry, each a payment; an entry without
// transaction details is one payment of its own amount.
void appendEntry(const Element &entry, const QString &source, QList<Payment> &payments)
{
    const QString indicator = entry.textAt(u"CdtDbtInd");
    if (indicator != u"CRDT"_s && indicator != u"DBIT"_s)
        throw refusal(source, entry.line, u"alkavan kirjauksen suunta ei ole CRDT eikä DBIT"_s);
    const qint64 sign = indicator == u"DBIT"_s ? -1 : 1;
    const QDate date = bookingDate(entry, source);
    const QString entryId = entry.textAt(u"AcctSvcrRef");
    const Element *entryAmount = entry.child(u"Amt");
    if (!entryAmount)
        throw refusal(source, entry.line, u"alkavalla kirjauksella ei ole summaa"_s);
    const qint64 entryCents = amountOf(*entryAmount, source);

    QList<const Element *> transactions;
    for (const Element *details : entry.all(u"NtryDtls"))
        transactions << details->all(u"TxDtls");
    if (transactions.isEmpty()) {
        payments.append(Payment{{}, {}, date, sign * entryCents, {}, {}, entryId, source});
        return;
    }
    for (qsizetype i = 0; i < transactions.size(); ++i) {
        const Element &tx = *transactions[i];
        const Element *amount = tx.child(u"Amt");
        if (!amount)
            amount = tx.at(u"AmtDtls/TxAmt/Amt");
        if (!amount && transactions.size() > 1)
            throw refusal(source, tx.line, u"alkavalla maksulla ei ole summaa"_s);
        const qint64 cents = amount ? amountOf(*amount, source) : entryCents;
        QString payer = tx.textAt(u"RltdPties/Dbtr/Nm");
        if (payer.isEmpty())
            payer = tx.textAt(u"RltdPties/Dbtr/Pty/Nm");
        QString reference;
        if (const Element *remittance = tx.child(u"RmtInf")) {
            for (const Element *structured : remittance->all(u"Strd")) {
                reference = structured->textAt(u"CdtrRefInf/Ref");
                if (!reference.isEmpty())
                    break;
            }
        }
        // Each transaction needs an archive id of its own to be known again.
        const QString txId = tx.textAt(u"Refs/AcctSvcrRef");
        QString archiveId = entryId;
        if (!txId.isEmpty())
            archiveId += u'/' + txId;
        else if (transactions.size() > 1)
            archiveId += u'/' + QString::number(i + 1);
        payments.append(Payment{{}, {}, date, sign * cents, reference, payer, archiveId, source});
    }
}

} // namespace

BankPaymentFile ReadCamt054(const QByteArray &bytes, const QString &source)
{
    QXmlStreamReader reader(bytes);
    BankPaymentFile file;
    QStringList path;
    while (!reader.atEnd()) {
        reader.readNext();
        // A DTD could declare entities to expand or fetch; a bank's file has none.
        if (reader.tokenType() == QXmlStreamReader::DTD)
            throw refusal(source, reader.lineNumber(), u"on DTD-määrittely, jota maksutiedostossa ei hyväksytä"_s);
        if (reader.isStartElement()) {
            if (path.isEmpty()) {
                const QString ns = reader.namespaceUri().toString();
                for (QStringView version : kCamt054Versions) {
                    if (ns == kNamespacePrefix + version.toString())
                        file.format = version.toString();
                }
                if (reader.name() != u"Document"_s || file.format.isEmpty())
                    throw refusal(source, reader.lineNumber(),
                                  u"alkava tiedosto ei ole camt.054-tiliilmoitus (versio 001.02, 001.04 tai 001.08)"_s);
            }
            if (reader.name() == u"Ntry"_s && path.join(u'/') == kEntryParent) {
                const std::unique_ptr<Element> entry = readElement(reader);
                if (reader.hasError())
                    break;
                const Element *status = entry->child(u"Sts");
                const QString code = status ? (status->child(u"Cd") ? status->textAt(u"Cd") : status->text.trimmed())
                                            : QString();
                if (code == u"BOOK"_s)
                    appendEntry(*entry, source, file.payments);
                else
                    ++file.unbookedEntries;
                continue;
            }
            path << reader.name().toString();
        } else if (reader.isEndElement()) {
            path.removeLast();
        }
    }
    if (reader.hasError())
        throw refusal(source, reader.lineNumber(), u"XML on rikki (%1)"_s.arg(reader.errorString()));
    return file;
}
