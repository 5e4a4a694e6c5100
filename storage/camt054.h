#pragma once

#include "invoice/payment.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

// What a bank's payment file holds, and the two readers behind
// ReadBankPayments (storage/paymentimport.h), each taking the whole file.

/// The camt.054 versions read, as their namespaces end.
inline constexpr QStringView kCamt054Versions[] = {u"camt.054.001.02", u"camt.054.001.04", u"camt.054.001.08"};

/// The name of the reference-payment file's format, as BankPaymentFile tells it.
inline constexpr QStringView kReferencePaymentFormat = u"viitesiirto";

/// What a bank's payment file holds.
struct BankPaymentFile
{
    /// One of kCamt054Versions, or kReferencePaymentFormat.
    QString format;
    /// In the file's order, without year and invoice number; a reversal has
    /// negative cents.
    QList<Payment> payments;
    /// camt.054 entries not booked (status other than BOOK): not payments
    /// yet, left out; the bank reports them again once booked.
    int unbookedEntries = 0;
};

/// A payment's place in a bank's file, as Payment::fileEntry keeps it: the
/// file's own identity (a camt.054 message's GrpHdr/MsgId; the
/// reference-payment file's batch record) and the position in it.
QString BankFileEntry(const QString &fileIdentity, const QString &position);


/// Throws the file's refusal at the line when the file already holds
/// kMaxTextLines payments: no more fit in the payments file, and reading on
/// would only take memory.
void CheckRoomForPayment(const BankPaymentFile &file, const QString &source, qint64 line);

/// The booked entries of a camt.054 notification (kCamt054Versions).
BankPaymentFile ReadCamt054(const QByteArray &bytes, const QString &source);

/// The payment and correction records of a reference-payment file.
BankPaymentFile ReadReferencePayments(const QByteArray &bytes, const QString &source);
