// Banks' payment files as the tests build them.

#include "tests/support/bankfiles.h"

#include "storage/cp1252.h"

using namespace Qt::StringLiterals;

QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString amountXml(qint64 cents)
{
    const qint64 magnitude = cents < 0 ? -cents : cents;
    return u"%1.%2"_s.arg(magnitude / 100).arg(magnitude % 100, 2, 10, QChar(u'0'));
}

// A notification of the version holding the entries' XML.
QByteArray camtDocument(const QString &version, const QString &entries, const QString &messageId)
{
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:%1\">\n"
            "<BkToCstmrDbtCdtNtfctn><GrpHdr><MsgId>%3</MsgId><CreDtTm>2026-12-07T08:00:00</CreDtTm></GrpHdr>\n"
            "<Ntfctn><Id>N1</Id><CreDtTm>2026-12-07T08:00:00</CreDtTm>"
            "<Acct><Id><IBAN>FI2112345600000785</IBAN></Id></Acct>\n%2</Ntfctn></BkToCstmrDbtCdtNtfctn>\n"
            "</Document>\n"_s.arg(version, entries, messageId)).toUtf8();
}

// One booked entry of one transaction a payment, as a bank of each version
// writes it: 001.02 gives the amount in AmtDtls, 001.04 and 001.08 in the
// transaction, 001.08 the status as a code and the payer as a party.
QByteArray camtOf(const QString &version, const QList<Payment> &payments, const QString &messageId)
{
    const bool v02 = version.endsWith(u"02"_s);
    const bool v08 = version.endsWith(u"08"_s);
    QString entries;
    for (const Payment &p : payments) {
        const QString amount = u"<Amt Ccy=\"EUR\">%1</Amt>"_s.arg(amountXml(p.cents));
        const QString indicator = p.cents < 0 ? u"DBIT"_s : u"CRDT"_s;
        QString tx = v02 ? u"<AmtDtls><TxAmt>%1</TxAmt></AmtDtls>"_s.arg(amount)
                         : amount + u"<CdtDbtInd>%1</CdtDbtInd>"_s.arg(indicator);
        tx += v08 ? u"<RltdPties><Dbtr><Pty><Nm>%1</Nm></Pty></Dbtr></RltdPties>"_s.arg(xmlEscaped(p.payer))
                  : u"<RltdPties><Dbtr><Nm>%1</Nm></Dbtr></RltdPties>"_s.arg(xmlEscaped(p.payer));
        if (!p.reference.isEmpty())
            tx += u"<RmtInf><Strd><CdtrRefInf><Ref>%1</Ref></CdtrRefInf></Strd></RmtInf>"_s.arg(p.reference);
        entries += u"<Ntry>%1<CdtDbtInd>%2</CdtDbtInd>%3<BookgDt><Dt>%4</Dt></BookgDt>"
                   "%5<BkTxCd/><NtryDtls><TxDtls>%6</TxDtls></NtryDtls></Ntry>\n"_s
                       .arg(amount, indicator, v08 ? u"<Sts><Cd>BOOK</Cd></Sts>"_s : u"<Sts>BOOK</Sts>"_s,
                            p.date.toString(Qt::ISODate),
                            p.archiveId.isEmpty() ? QString() : u"<AcctSvcrRef>%1</AcctSvcrRef>"_s.arg(p.archiveId), tx);
    }
    return camtDocument(version, entries, messageId);
}

QString yymmdd(const QDate &date)
{
    return date.toString(u"yyMMdd"_s);
}

// A payment (3) or correction (5) record of 90 characters.
QString paymentRecord(QChar type, const Payment &p, QChar mark)
{
    QString reference = p.reference;
    reference.remove(u' ');
    // The file's reference field holds digits: an RF reference's body.
    if (reference.startsWith(u"RF"_s))
        reference = reference.mid(4);
    const qint64 cents = p.cents < 0 ? -p.cents : p.cents;
    return type + u"12345600000785"_s + yymmdd(p.date) + yymmdd(p.date) + p.archiveId.leftJustified(16, u' ', true)
        + reference.rightJustified(20, u'0') + p.payer.leftJustified(12, u' ', true) + u"1A"_s
        + QString::number(cents).rightJustified(10, u'0') + mark + u"A "_s;
}

QString batchRecord(const QString &made)
{
    return (u'0' + made + u"12123456789"_s).leftJustified(90, u' ');
}

QString totalRecord(qint64 payments, qint64 paymentCents, qint64 corrections, qint64 correctionCents)
{
    return (u"9"_s + QString::number(payments).rightJustified(6, u'0') + QString::number(paymentCents).rightJustified(11, u'0')
            + QString::number(corrections).rightJustified(6, u'0') + QString::number(correctionCents).rightJustified(11, u'0'))
        .leftJustified(90, u' ');
}

QByteArray fileOf(const QStringList &records)
{
    return stringToCp1252(records.join(u"\r\n"_s) + u"\r\n"_s);
}

// The same payments as a reference-payment file: reversals as correction records.
QByteArray referenceFileOf(const QList<Payment> &payments, const QString &made)
{
    QStringList records{batchRecord(made)};
    qint64 count = 0, sum = 0, corrections = 0, correctionSum = 0;
    for (const Payment &p : payments) {
        records << paymentRecord(p.cents < 0 ? u'5' : u'3', p, p.cents < 0 ? u'1' : u'0');
        (p.cents < 0 ? corrections : count) += 1;
        (p.cents < 0 ? correctionSum : sum) += p.cents < 0 ? -p.cents : p.cents;
    }
    records << totalRecord(count, sum, corrections, correctionSum);
    return fileOf(records);
}
