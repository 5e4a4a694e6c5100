#pragma once

#include <QDate>
#include <QString>

// A payment received, as the rules of interest and reminders take it; the
// payments file keeps them (storage/payments.h).

/// One payment received.
struct Payment
{
    QString year;
    QString invoiceNumber;
    QDate date;
    qint64 cents = 0;
    QString reference;
    QString payer;
    QString archiveId;
    QString source;
    // Defaulted: payments built field by field need not name it.
    QString fileEntry = {};

    /// Whether the payment was matched to an invoice.
    bool matched() const { return !invoiceNumber.isEmpty(); }
    friend bool operator==(const Payment &, const Payment &) = default;
};
