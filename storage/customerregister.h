#pragma once

#include <QString>
#include <QStringList>

// Customer numbers of the register.

/// The customer register file in the save folder (which ends with a separator).
QString RegisterFilePath(const QString &dataDir);

/// The customer register file's name, "AsiakRek.csv".
QString RegisterFileBaseName();

/// The smallest positive whole number whose decimal text is none of the
/// given texts (compared without regard to case).
int SmallestFreeCustomerNumber(const QStringList &numbers);

/// The message of an invoice saved without adding its customer to a register
/// file that could not be read: that file is never saved over.
QString CustomerNotRegisteredText(const QString &registerPath);
