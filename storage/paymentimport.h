#pragma once

#include "storage/camt054.h"
#include "storage/payments.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// Importing the payments a bank reports: reading its file (an ISO 20022
// camt.054 notification or the fixed-width reference-payment file) into
// payments, and matching each to the invoice its reference names.

/// The largest payment file read; a larger one is refused before reading.
constexpr qint64 kMaxPaymentFileBytes = 64 * 1024 * 1024;

/// Reads a bank's payment file from its bytes, the format told by the
/// content (XML or fixed width); source names it in each payment, and each
/// gets its place in the file (BankFileEntry). Throws CommandError with a
/// Finnish message naming the line when the file is no payment file, is
/// damaged, nests elements deeper than 64 levels, holds more payments than
/// the payments file takes (kMaxTextLines), holds another currency
/// than euro, declares a DTD, holds a camt.054 entry that neither the bank
/// nor the message gives an identity, or is larger than
/// kMaxPaymentFileBytes: a file is read whole or not at all. Memory stays
/// within a few times the file's size, whatever it holds.
BankPaymentFile ReadBankPayments(const QByteArray &bytes, const QString &source);

/// The message of the file whose import ran out of memory.
QString PaymentFileOutOfMemoryText(const QString &path);

/// Reads the file at the path by ReadBankPayments, its file name as the
/// source; a file larger than kMaxPaymentFileBytes is refused unread. Any
/// failure, running out of memory included, is a CommandError naming the
/// file.
BankPaymentFile ReadBankPaymentFile(const QString &path);

/// The key a reference is matched by: blanks and leading zeros dropped, and
/// an RF reference whose body is all digits keyed by those digits, so that
/// "RF18 1009", "1009" and "0000 1009" meet. An RF reference with letters
/// keeps "RF" and its body. Empty when the reference holds nothing.
QString ReferenceMatchKey(QStringView reference);

/// An invoice that can be paid, as the invoice ledger knows it.
struct PayableInvoice
{
    QString year;
    QString number;
    QString reference;
    qint64 totalCents = 0;
    /// What the kept payments already pay of it.
    qint64 paidCents = 0;
};

/// What an incoming payment is.
enum class PaymentClass {
    /// Pays what was open of the invoice, to the cent.
    Pays,
    /// Pays less than was open.
    Partial,
    /// Pays more than was open (also any payment to an invoice already paid).
    Overpays,
    /// Its reference names no payable invoice.
    UnknownReference,
    /// The same payment is already kept, or came earlier in the same file
    /// with the same identity from the bank.
    AlreadyImported,
    /// The bank took back a payment.
    Reversal,
};

/// "maksaa laskun", "osasuoritus", "ylisuoritus", "tuntematon viite",
/// "jo tuotu", "palautus".
QString PaymentClassText(PaymentClass paymentClass);

/// One payment of an import, classified.
struct ImportedPayment
{
    /// As it is stored: with the invoice's year and number when it goes to
    /// one.
    Payment payment;
    PaymentClass paymentClass = PaymentClass::UnknownReference;
    /// What is open of the invoice after this payment (negative when
    /// overpaid); 0 without an invoice.
    qint64 openCentsAfter = 0;
    /// For a reversal, the payment it takes back when one is found among the
    /// kept payments and those before it in the file; null otherwise.
    std::shared_ptr<const Payment> reversed;
};

/// The classified payments of one file.
struct PaymentImport
{
    QString format;
    int unbookedEntries = 0;
    QList<ImportedPayment> payments;
};

/// Classifies the payments in order: each payment of a reference goes to its
/// invoice and lessens what is open of it, so that a second one may overpay.
/// A payment is AlreadyImported only by an identity: the same archive id and
/// sign as one kept or earlier in the list, or, without an archive id, the
/// same place in the same bank file (fileEntry). Payments alike in date,
/// amount, reference and payer are each new: a payer may pay twice. A
/// payment an earlier version kept from a bank's file without either
/// identity stands for one incoming payment without an archive id that is
/// alike in those. A reversal goes to the invoice of the payment it takes
/// back, or of its reference, and opens it again.
PaymentImport MatchPayments(const QList<Payment> &incoming, const QList<PayableInvoice> &invoices,
                            const QList<Payment> &kept);

/// Reads the file (ReadBankPaymentFile) and matches its payments; any
/// failure, running out of memory included, is a CommandError naming the
/// file.
PaymentImport ImportPaymentFile(const QString &path, const QList<PayableInvoice> &invoices,
                                const QList<Payment> &kept);

/// The headings an import's payments are shown and printed under: the
/// class, date, amount, reference, payer and the invoice ("2026/57").
QStringList ImportedPaymentHeadings();

/// An imported payment's texts under ImportedPaymentHeadings.
QStringList ImportedPaymentCells(const ImportedPayment &imported);

/// What an import of the file at path holds, in one Finnish sentence: how
/// many payments of which format, how many are stored, and the entries not
/// yet booked.
QString ImportSummaryText(const QString &path, const PaymentImport &import);

/// The payments to store from an import: every one but those already
/// imported; an unknown reference is kept unmatched, a reversal as a
/// negative payment.
QList<Payment> PaymentsToStore(const PaymentImport &import);
