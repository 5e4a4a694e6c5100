#pragma once

#include "storage/payments.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Banks' payment files as the tests build them: camt.054 notifications of
// each version and the fixed-width reference-payment file.

/// Text for an XML element.
QString xmlEscaped(const QString &text);

/// Cents as camt.054 writes an amount, "1234.50" (without sign).
QString amountXml(qint64 cents);

/// The message identity (GrpHdr/MsgId) the tests' notifications carry unless told.
inline constexpr QStringView kTestMessageId = u"M1";

/// A notification of the version (e.g. "camt.054.001.02") holding the entries' XML.
QByteArray camtDocument(const QString &version, const QString &entries,
                        const QString &messageId = kTestMessageId.toString());

/// One booked entry of one transaction a payment, as a bank of each version
/// writes it; a negative amount is a debit entry, a reversal. A payment
/// without an archive id gets an entry without AcctSvcrRef.
QByteArray camtOf(const QString &version, const QList<Payment> &payments,
                  const QString &messageId = kTestMessageId.toString());

/// The date as the reference-payment file writes it.
QString yymmdd(const QDate &date);

/// A payment (3) or correction (5) record of 90 characters.
QString paymentRecord(QChar type, const Payment &p, QChar mark = u'0');

/// The batch record of a batch made at the time ("yyMMddhhmm").
QString batchRecord(const QString &made = QStringLiteral("2612071200"));

/// The total record of the counts and sums of payments and corrections.
QString totalRecord(qint64 payments, qint64 paymentCents, qint64 corrections, qint64 correctionCents);

/// The records as a file: Windows-1252, CR LF.
QByteArray fileOf(const QStringList &records);

/// The payments as a reference-payment file of one batch made at the time
/// (batchRecord): reversals as correction records.
QByteArray referenceFileOf(const QList<Payment> &payments, const QString &made = QStringLiteral("2612071200"));
