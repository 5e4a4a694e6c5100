#pragma once

#include "invoice/amount.h"
#include "invoice/payment.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The payments file: every payment received, kept in the save folder beside
// the invoices, which a payment never changes. One line a payment in the
// grid line format, Windows-1252, CR LF, the columns in PaymentColumn order.

/// Columns of a line of the payments file.
enum PaymentColumn : int {
    /// The paid invoice's year folder and number; both empty for a payment
    /// whose reference matched no invoice, kept so that nothing the bank
    /// reported is lost.
    PaymentYearColumn,
    PaymentInvoiceColumn,
    /// "d.m.yyyy", as the program writes dates.
    PaymentDateColumn,
    /// Euros with a decimal comma and two decimals, "-" for a reversal.
    PaymentAmountColumn,
    PaymentReferenceColumn,
    PaymentPayerColumn,
    /// The identity the bank gave the payment (its archive id, or the
    /// entry's own reference); a payment imported twice has the same one.
    PaymentArchiveIdColumn,
    /// kManualPaymentSource, or the name of the imported file.
    PaymentSourceColumn,
    /// The payment's place in the bank's file: the file's own identity and
    /// the position in it (BankFileEntry). Appended after the columns of
    /// earlier versions, which read a line without it; empty in their lines
    /// and for a payment marked by hand.
    PaymentFileEntryColumn,
    PaymentColumnCount
};

/// The source of a payment the user marked by hand.
inline constexpr QStringView kManualPaymentSource = u"käsin";

/// The payments file in the save folder (which ends with a separator).
QString PaymentsFilePath(const QString &dataDir);

/// The file's line of a payment, and the payment of a line; nullopt when the
/// line's date or amount does not read.
QStringList PaymentLineCells(const Payment &payment);
std::optional<Payment> PaymentOfCells(const QStringList &cells);

/// The payments kept in the file; none when the file does not exist.
/// Throws CommandError, in Finnish with the path and the line, when it
/// cannot be read or a line is no payment: a payments file is never
/// written over from a reading that lost a line.
QList<Payment> ReadPaymentsFile(const QString &path);

/// Replaces the payments file with the payments, whole or not at all.
/// Throws what WriteTextLines throws.
void WritePaymentsFile(const QString &path, const QList<Payment> &payments);
