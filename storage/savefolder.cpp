// What every save folder answers the same way, whatever stands behind it:
// the reminder of a saved invoice.

#include "savefolder.h"

#include "base/commanderror.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

SaveFolder::~SaveFolder() = default;

Reminder SavedInvoiceReminder(SaveFolder &folder, const QString &path, const QDate &date,
                              std::optional<bool> business, const ReminderSettings &settings)
{
    const std::optional<LedgerRow> row = folder.ledgerRowOfFile(path, date);
    if (!row) {
        if (!IsYearFolderName(QFileInfo(path).absoluteDir().dirName()))
            throw CommandError(
                u"Lasku %1 ei ole tallennuskansion vuosikansiossa; muistutus tehdään tallennetusta laskusta."_s.arg(
                    QDir::toNativeSeparators(path)));
        throw CommandError(u"Tiedosto %1 ei ole tallennuskansion lasku; muistutusta ei voi tehdä."_s.arg(
            QDir::toNativeSeparators(path)));
    }
    const InvoiceRecord record = folder.readInvoiceFile(path);
    ReminderRequest request{row->year, date, folder.savedReminderCount(row->year, row->number), business};
    request.creditedCents = row->creditCents;
    return MakeReminder(record, folder.paymentsOf(row->year, row->number), request, settings);
}
