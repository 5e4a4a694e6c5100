#pragma once

#include "invoice/invoicerecord.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// E-invoices: the formats an invoice is sent in to a buyer's e-invoice
// address instead of on paper, what must be known before one is written,
// and the writer of each format (the parts they share: einvoicefields.h).

/// The e-invoice formats, in the order the biller details offer them.
enum class EinvoiceFormat : int {
    /// Finvoice 3.0, the Finnish banks' and operators' format.
    Finvoice,
    /// Finvoice 3.0 behind the SOAP transmission frame some operators and
    /// the banks' forwarding service want.
    FramedFinvoice,
    /// Peppol BIS Billing 3.0, a UBL 2.1 invoice.
    Peppol,
};

/// The suffix of e-invoice files.
inline constexpr QStringView kEinvoiceFileSuffix = u".xml";

/// The status line after "Verkkolasku…": where the e-invoice was written.
QString EinvoiceSavedText(const QString &path);

/// What the page shows, never printed, of the customer's e-invoice address
/// and operator; empty when the invoice has no address.
QString BuyerEinvoiceMarkText(const EinvoiceAddress &address);

/// Why the record cannot be written in the format: one Finnish sentence per
/// thing missing, joined by line feeds; empty when it can be written.
/// Every format needs a buyer name, a biller IBAN that passes its check, a
/// reference that passes its check (or none) and a row with a price. Finvoice
/// also needs what FinvoiceRefusal names; a framed one both parties'
/// e-invoice address and operator for its frame;
/// Peppol needs both parties' e-invoice address as an OVT code or one that
/// makes an OVT code (PeppolEndpoint) and the biller's business ID or VAT ID.
/// Throws FloatingPointOverflow as RecordTotals does.
QString EinvoiceRefusal(const InvoiceRecord &record, EinvoiceFormat format);

/// The record as an e-invoice file in the format, in UTF-8. `sent` stamps the
/// transmission details of a Finvoice (written when both parties' addresses
/// and operators are known, always in the framed one); Peppol ignores it.
/// Callers show EinvoiceRefusal's message first; a record it refuses gives
/// nothing at all (an empty array), never a file a receiver would reject.
/// Throws FloatingPointOverflow as RecordTotals does.
QByteArray WriteEinvoice(const InvoiceRecord &record, EinvoiceFormat format, const QDateTime &sent);

/// Writes the record's e-invoice in the format to path, replacing a file
/// there only when the new one is whole. Throws CommandError naming what
/// EinvoiceRefusal finds missing, or the file that could not be written,
/// and FloatingPointOverflow as RecordTotals does.
void WriteEinvoiceFile(const QString &path, const InvoiceRecord &record, EinvoiceFormat format, const QDateTime &sent);
