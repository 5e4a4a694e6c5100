// The payment import at scale: a camt.054 notification of 10,000 payments
// read and matched against 10,000 invoices, and the same payments as a
// reference-payment file; then hostile and largest files, each imported in a
// child process of its own for its time and peak memory.

#include "base/commanderror.h"
#include "bench/benchutil.h"
#include "invoice/numbering.h"
#include "storage/cp1252.h"
#include "storage/paymentimport.h"
#include "storage/textfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

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

const QString kHeader = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.054.001.02\"><BkToCstmrDbtCdtNtfctn>"
                        "<GrpHdr><MsgId>M</MsgId><CreDtTm>2026-12-01T08:00:00</CreDtTm></GrpHdr><Ntfctn><Id>N</Id>"
                        "<CreDtTm>2026-12-01T08:00:00</CreDtTm><Acct><Id><IBAN>FI2112345600000785</IBAN></Id></Acct>\n"_s;
const QString kFooter = u"</Ntfctn></BkToCstmrDbtCdtNtfctn></Document>\n"_s;
constexpr qsizetype kMiB = 1024 * 1024;

QByteArray camtOf(const QString &entries)
{
    return (kHeader + entries + kFooter).toUtf8();
}

QString bookedEntry(const QString &inside)
{
    return u"<Ntry><Amt Ccy=\"EUR\">10.00</Amt><CdtDbtInd>CRDT</CdtDbtInd><Sts>BOOK</Sts>"
           "<BookgDt><Dt>2026-12-01</Dt></BookgDt><AcctSvcrRef>E1</AcctSvcrRef><BkTxCd/>%1</Ntry>"_s.arg(inside);
}

// The hostile and the largest files, by name.
QByteArray hostileFile(const QString &name)
{
    if (name == u"empty-elements")
        return camtOf(bookedEntry(u"<a/>"_s.repeated(63 * kMiB / 4)));
    if (name == u"deep-entry")
        return camtOf(bookedEntry(u"<a>"_s.repeated(44000) + u"</a>"_s.repeated(44000)));
    if (name == u"nested-entries")
        return camtOf(u"<X>"_s + u"<Ntry>"_s.repeated(kMiB / 13) + u"</Ntry>"_s.repeated(kMiB / 13) + u"</X>"_s);
    if (name == u"line-breaks")
        return QByteArray("0\r") + QByteArray(64 * kMiB - 3, '\n');
    // As many of the smallest payments as the file takes (63 MiB), and as
    // many as the payments file takes.
    const bool most = name.endsWith(u"-most"_s);
    if (name.startsWith(u"camt-payments"_s)) {
        const QString tx = u"<TxDtls><Amt Ccy=\"EUR\">1</Amt></TxDtls>"_s;
        const qsizetype count = most ? kMaxTextLines : 63 * kMiB / tx.size();
        return camtOf(bookedEntry(u"<NtryDtls>"_s + tx.repeated(count) + u"</NtryDtls>"_s));
    }
    if (name.startsWith(u"reference-payments"_s)) {
        const qsizetype count = most ? kMaxTextLines : 63 * kMiB / 92;
        QStringList records{u"0261201120012123456789"_s.leftJustified(90)};
        for (qsizetype i = 0; i < count; ++i)
            records << referenceRecord(int(i), AppendCheckDigit(QString::number(100000 + i % 1000)), 100);
        records << (u"9"_s + QString::number(count).rightJustified(6, u'0') + QString::number(count * 100).rightJustified(11, u'0')
                    + u"000000"_s + u"0"_s.rightJustified(11, u'0'))
                       .leftJustified(90);
        return stringToCp1252(records.join(u"\r\n"_s) + u"\r\n"_s);
    }
    return {};
}

const QStringList kHostileFiles{u"empty-elements"_s, u"deep-entry"_s,          u"nested-entries"_s,
                                u"line-breaks"_s,    u"camt-payments"_s,       u"camt-payments-most"_s,
                                u"reference-payments"_s, u"reference-payments-most"_s};

qint64 peakKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// In the child: imports the file as "Tuo maksut…" and --import-payments do
// and prints the time, the outcome and the peak memory.
int importInChild(const QString &path)
{
    const qint64 before = peakKiB();
    QElapsedTimer timer;
    timer.start();
    QString outcome;
    try {
        const PaymentImport import = ImportPaymentFile(path, {}, {});
        outcome = u"%1 payments"_s.arg(import.payments.size());
    } catch (const CommandError &error) {
        outcome = error.message();
    }
    out() << timer.elapsed() << " ms, peak " << peakKiB() / 1024 << " MiB (" << before / 1024 << " MiB before), "
          << outcome.left(110) << Qt::endl;
    return 0;
}

// Each file written, then imported in a child of its own.
void hostileFiles(const QString &self)
{
    QTemporaryDir dir;
    for (const QString &name : kHostileFiles) {
        const QString path = dir.filePath(name);
        {
            const QByteArray bytes = hostileFile(name);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return;
            out() << name << " (" << bytes.size() / 1024 << " KiB): " << Qt::flush;
        }
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(self, {u"--import"_s, path});
        child.waitForFinished(-1);
        if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
            out() << "child failed (" << child.exitCode() << ")" << Qt::endl;
        QFile::remove(path);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == u"--import")
        return importInChild(arguments[2]);
    if (arguments.size() == 4 && arguments[1] == u"--write") {
        QFile file(arguments[3]);
        return file.open(QIODevice::WriteOnly) && file.write(hostileFile(arguments[2])) > 0 ? 0 : 1;
    }
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
    out() << "\nHostile and largest files, each imported in a child process:" << Qt::endl;
    hostileFiles(app.applicationFilePath());
    out() << "Budget: each within a few seconds, peak within a few times the file" << Qt::endl;
    return matched == kCount ? 0 : 1;
}
