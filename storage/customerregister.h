#pragma once

#include "invoice/invoicerecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Customer numbers of the register, its file lines and the customers'
// e-invoice addresses.

/// The customer register file in the save folder (which ends with a separator).
QString RegisterFilePath(const QString &dataDir);

/// The customer register file's name, "AsiakRek.csv".
QString RegisterFileBaseName();

/// The smallest positive whole number whose decimal text is none of the
/// given texts (compared without regard to case).
int SmallestFreeCustomerNumber(const QStringList &numbers);

/// SmallestFreeCustomerNumber of count texts, each given by numberAt.
int SmallestFreeCustomerNumber(qsizetype count, const std::function<QStringView(qsizetype)> &numberAt);

/// The message of an invoice saved without adding its customer to a register
/// file that could not be read: that file is never saved over.
QString CustomerNotRegisteredText(const QString &registerPath);

/// The cells of a register row as its file line holds them: both e-invoice
/// columns when one of them is set, none otherwise, so a customer without an
/// e-invoice address keeps the six-value line earlier versions wrote.
QStringList RegisterLineCells(QStringList row);

/// The e-invoice address of a register row; a blank cell, as a file read
/// back holds for an empty one, is no value.
EinvoiceAddress RegisterRowEinvoice(const QStringList &row);

/// The e-invoice address of the first register row whose customer number is
/// the given one (compared without regard to case, blanks around ignored);
/// empty when the number is empty or no row has it.
EinvoiceAddress RegisterEinvoiceFor(const QList<QStringList> &registerRows, QStringView customerNumber);

/// The invoice with the buyer's e-invoice address of its customer in the
/// register, when its file keeps none (as every file of earlier versions);
/// an invoice that keeps one comes back unchanged.
InvoiceData WithRegisterEinvoice(InvoiceData invoice, const QList<QStringList> &registerRows);

/// WithRegisterEinvoice with the register's address found for a customer
/// number by find.
InvoiceData WithRegisterEinvoice(InvoiceData invoice,
                                 const std::function<EinvoiceAddress(QStringView customerNumber)> &find);
