#pragma once

#include "invoice/invoicedata.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a saved line can hold. The reader refuses a line longer than
// kMaxTextLineLength (base/textlimits.h); the save chain measures every line
// of the invoice and of the register by the writer's own rules before it
// writes anything, so that every file it saves opens again.

/// The part of the invoice whose file line would be longer than the reader
/// takes, as the user knows it ("asiakkaan nimi ja osoite", "laskurivi 3" with
/// the page's row number); empty when every line fits. Rows not worth writing
/// are not measured, as they are not written.
QString InvoiceTooLongPart(const InvoiceData &invoice);

/// The register customer (cells in column order) whose file line would be
/// longer than the reader takes, named by the beginning of its name; empty
/// when every customer fits.
QString RegisterTooLongPart(const QList<QStringList> &rows);

/// How a register customer too long to save is named: by the beginning of its name.
QString TooLongCustomerPart(const QString &name);

/// The message of an invoice not saved because the part named is too long.
QString InvoiceTooLongText(const QString &part);

/// The message of a register not saved because the part named is too long.
QString RegisterTooLongText(const QString &part);
