#pragma once

#include "storage/paymentimport.h"

// The two readers behind ReadBankPayments, each taking the whole file.

/// Throws the file's refusal at the line when the file already holds
/// kMaxTextLines payments: no more fit in the payments file, and reading on
/// would only take memory.
void CheckRoomForPayment(const BankPaymentFile &file, const QString &source, qint64 line);

/// The booked entries of a camt.054 notification (kCamt054Versions).
BankPaymentFile ReadCamt054(const QByteArray &bytes, const QString &source);

/// The payment and correction records of a reference-payment file.
BankPaymentFile ReadReferencePayments(const QByteArray &bytes, const QString &source);
