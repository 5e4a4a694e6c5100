#pragma once

#include <QByteArray>
#include <QString>

// Every file the program reads or writes (settings, invoices, the customer
// register) is single-byte Windows-1252 text.

/// Decodes Windows-1252 bytes; the five unassigned bytes map to the C1 controls of the same value.
QString cp1252ToString(QByteArrayView bytes);

/// Encodes text as Windows-1252; a character the code page cannot hold becomes "?".
QByteArray stringToCp1252(QStringView text);
