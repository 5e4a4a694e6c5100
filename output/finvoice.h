#pragma once

#include "invoice/invoicerecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The Finvoice 3.0 e-invoice of a record, the Finnish banks' and operators'
// format, bare or behind its SOAP transmission frame.

/// The record as a Finvoice 3.0 document in UTF-8: the biller as seller, the
/// customer as buyer, the totals and one VAT breakdown per rate as the
/// page prints them, one invoice row per row (text rows without amounts), the
/// virtual bank barcode and the payment details. With `framed`, the SOAP
/// envelope of the transmission comes first and the document follows it in
/// the same file. `sent` stamps the transmission details and the frame.
/// Written as far as the record's values go: a record EinvoiceRefusal refuses
/// gives a document that does not pass the schema, which is why callers go
/// through WriteEinvoice.
QByteArray WriteFinvoice(const InvoiceRecord &record, bool framed, const QDateTime &sent);

/// What a Finvoice cannot carry of the record beyond what every format needs
/// (EinvoiceRefusal): a buyer or biller name of one character (the schema
/// takes two or more) or a row quantity whose whole part is longer than the
/// schema's 14 characters. One Finnish sentence per thing, joined by line
/// feeds; empty when the record can be written. A quantity with more
/// decimals than fit is written rounded to those that do.
QString FinvoiceRefusal(const InvoiceRecord &record);
