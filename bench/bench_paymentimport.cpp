// The payment import at scale: a camt.054 notification of 10,000 payments
// read and matched against 10,000 invoices, and the same payments as a
// reference-payment file.

#include "bench/benchutil.h"
#include "invoice/numbering.h"
#include "storage/cp1252.h"
#include "storage/paymentimport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCount = 10000;
constexpr int kRuns = 7;

QString camtEntry(int i, const QString &reference, qint64 cents)
{
    return u"<Ntry><Amt Ccy=\"EUR\">%1.%2</Amt><CdtDbtInd>CRDT</CdtDbtInd><Sts>BOOK</Sts>"
           "<BookgDt><Dt>2026-12-01</Dt></BookgDt><AcctSvcrRef>20261201AB%3</AcctSvcrRef><BkTxCd/>"
           "<NtryDtls><TxDtls><AmtDtls><TxAmt><Amt Ccy=\"EUR\">%1.%2</Amt></TxAmt></AmtDtls>"
           "<RltdPties><Dbtr><Nm>Maksaja %3</Nm></Dbtr></RltdPties>"
           "<RmtInf><Strd><CdtrRefInf><Ref>%4</Ref></CdtrRefInf></Strd></RmtInf></TxDtls></NtryDtls></Ntry>\n"_s
        .arg(cents / 100)
        .arg(cents % 100, 2, 10, QChar(u'0'))
        .arg(i, 6, 10, QChar(u'0'))
        .arg(reference);
}

QString referenceRecord(int i, const QString &reference, qint64 cents)
{
    return u"312345600000785261201261201"_s + u"20261201AB%1"_s.arg(i, 6, 10, QChar(u'0'))
        + reference.rightJustified(20, u'0') + u"Maksaja"_s.leftJustified(12) + u"1A"_s
        + QString::number(cents).rightJustified(10, u'0') + u"0A "_s;
}

double medianMs(const std::function<void()> &step)
{
    QList<qint64> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        times << timer.nsecsElapsed();
    }
    return median(times) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<PayableInvoice> invoices;
    QString entries;
    QStringList records{u"0261201120012123456789"_s.leftJustified(90)};
    qint64 sum = 0;
    for (int i = 0; i < kCount; ++i) {
        const QString national = AppendCheckDigit(QString::number(100000 + i));
        const qint64 total = 1000 + i;
        // Every other invoice carries its RF form; the payments the national one.
        invoices.append({u"2026"_s, QString::number(i + 1), i % 2 ? RfReference(national) : national, total, 0});
        const qint64 cents = i % 3 ? total : total / 2;
        entries += camtEntry(i, national, cents);
        records << referenceRecord(i, national, cents);
        sum += cents;
    }
    records << (u"9"_s + QString::number(kCount).rightJustified(6, u'0') + QString::number(sum).rightJustified(11, u'0')
                + u"000000"_s + u"0"_s.rightJustified(11, u'0'))
                   .leftJustified(90);
    const QByteArray camt = (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.054.001.02\"><BkToCstmrDbtCdtNtfctn>"
                             "<GrpHdr><MsgId>M</MsgId><CreDtTm>2026-12-01T08:00:00</CreDtTm></GrpHdr><Ntfctn><Id>N</Id>"
                             "<CreDtTm>2026-12-01T08:00:00</CreDtTm><Acct><Id><IBAN>FI2112345600000785</IBAN></Id></Acct>\n"_s
                             + entries + u"</Ntfctn></BkToCstmrDbtCdtNtfctn></Document>\n"_s)
                                .toUtf8();
    const QByteArray referenceFile = stringToCp1252(records.join(u"\r\n"_s) + u"\r\n"_s);

    qsizetype matched = 0;
    const auto importBytes = [&](const QByteArray &bytes) {
        const PaymentImport import = MatchPayments(ReadBankPayments(bytes, u"pankki"_s).payments, invoices, {});
        matched = std::count_if(import.payments.begin(), import.payments.end(),
                                [](const ImportedPayment &p) { return p.payment.matched(); });
    };
    out() << "Payments: " << kCount << ", invoices: " << kCount << ", median of " << kRuns << " runs\n";
    out() << "camt.054 (" << camt.size() / 1024 << " KiB) read and matched: " << medianMs([&] { importBytes(camt); })
          << " ms, " << matched << " matched\n";
    out() << "Reference-payment file (" << referenceFile.size() / 1024
          << " KiB) read and matched: " << medianMs([&] { importBytes(referenceFile); }) << " ms, " << matched
          << " matched\n";
    out() << "Budget: well under 2000 ms each" << Qt::endl;
    return matched == kCount ? 0 : 1;
}
