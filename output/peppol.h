#pragma once

#include "invoice/invoicerecord.h"

#include <QByteArray>

// The Peppol BIS Billing 3.0 e-invoice of a record: a UBL 2.1 invoice.

/// The record as a UBL 2.1 Invoice of Peppol BIS Billing 3.0 in UTF-8: both
/// parties with their e-invoice addresses as endpoints, the credit transfer
/// to the biller's IBAN with the reference, the VAT per rate and the totals
/// as the page prints them, and one line per priced row.
/// Written as far as the record's values go: a record EinvoiceRefusal refuses
/// gives a document that breaks the rules, which is why callers go through
/// WriteEinvoice.
QByteArray WritePeppol(const InvoiceRecord &record);
