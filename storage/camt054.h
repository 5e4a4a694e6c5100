#pragma once

#include "storage/paymentimport.h"

// The two readers behind ReadBankPayments, each taking the whole file.

/// The booked entries of a camt.054 notification (kCamt054Versions).
BankPaymentFile ReadCamt054(const QByteArray &bytes, const QString &source);

/// The payment and correction records of a reference-payment file.
BankPaymentFile ReadReferencePayments(const QByteArray &bytes, const QString &source);
