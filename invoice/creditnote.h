#pragma once

#include "invoice/invoicedata.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// Credit notes: an invoice that takes back another, saved one, all of it or
// some of its rows. It keeps the credited invoice's year and number, prints
// with its own heading and asks for no payment.

/// The command that starts a credit note, in the menu and in the ledger.
inline constexpr QStringView kCreditNoteCommand = u"Hyvityslasku";

/// Whether the header is a credit note's: it names the invoice it credits.
bool IsCreditNote(const QStringList &header);

/// Throws CommandError, in Finnish, when the invoice is a credit note: what
/// a credit note took back is not credited again.
void CheckCreditable(const InvoiceData &invoice);

/// The page's heading: "LASKU" or "HYVITYSLASKU", with " (kopio)" on a copy.
QString InvoiceHeading(bool creditNote, bool copy = false);

/// The first row's text: "Hyvitys laskulle N (pvm)".
QString CreditNoteFirstRowText(const QString &number, const QString &date);

/// A quantity text negated: "2" is "-2", "-1,5" is "1,5"; empty stays empty.
QString NegatedQuantity(const QString &quantity);

/// The credit note of a complete invoice (CompletedInvoice): the number,
/// date, reference and due date of `fresh` (a new invoice's header), the
/// original's customer, e-invoice address, VAT mode and terms, a text row
/// naming the original, then the original's rows with quantities negated.
/// It remembers the original's year (InvoiceYearOfDate) and number. Throws
/// as CheckCreditable.
InvoiceData CreditNoteOf(const InvoiceData &original, const QStringList &fresh);
