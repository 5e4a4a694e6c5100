#pragma once

#include "invoice/invoicedata.h"
#include "invoice/invoicerecord.h"
#include "invoice/reminder.h"
#include "output/einvoice.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The settings file as one value: read once, changed in memory, written
// whole in one replacement of the file. The key names, their sections and
// their defaults are one table in profile.cpp.

/// The page's font areas by the sections their fonts are stored in.
namespace FontAreaSection {
inline constexpr QStringView OwnName = u"OmaNimi";
inline constexpr QStringView Rows = u"LaskuRivit";
inline constexpr QStringView BillerDetails = u"OmatTiedot";
inline constexpr QStringView CustomerName = u"AsiakNimi";
inline constexpr QStringView Title = u"LaskuOts";
inline constexpr QStringView InvoiceDate = u"LaskuPvm";
inline constexpr QStringView VatSums = u"SumAlv";
inline constexpr QStringView Total = u"TotSum";
inline constexpr QStringView Reference = u"ViiteNro";
inline constexpr QStringView IbanBic = u"IbanBic";
inline constexpr QStringView GiroForm = u"PankkiS";
inline constexpr QStringView All[] = {OwnName, Rows, BillerDetails, CustomerName, Title, InvoiceDate,
                                      VatSums, Total, Reference, IbanBic, GiroForm};
} // namespace FontAreaSection

/// The lines of the biller's heading on the page.
constexpr int kHeadingLineCount = 3;

/// A font area's font as stored; each part the file does not hold leaves
/// the widget's own.
struct StoredFont
{
    std::optional<QString> family;
    std::optional<int> pointSize;
    /// FontStyleBits.
    std::optional<int> style;

    bool operator==(const StoredFont &) const = default;
};

/// The page grids' sizes the user dragged, in pixels; nullopt where the
/// file holds none and the grid keeps its own.
struct GridLayout
{
    QList<std::optional<int>> rowsColumnWidths = QList<std::optional<int>>(RowColumnCount);
    QList<std::optional<int>> customerRowHeights = QList<std::optional<int>>(CustomerLineCount);
    QList<std::optional<int>> billerRowHeights = QList<std::optional<int>>(kHeadingLineCount);
};

/// Print margins in millimetres.
struct Margins
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int giroLeft = 0;
    int giroRight = 0;
};

/// The output options of the biller details.
struct OutputOptions
{
    bool barcode = false;
    bool pdfDefault = false;
    bool rfReference = false;
    bool qrCode = false;
};

/// A stored value that did not read, kept in the file as it stands.
struct UnreadSetting
{
    QString section;
    QString key;
    QString text;
};

/// Everything the settings file holds. DefaultProfile() is what a missing
/// file gives; a value-initialised Profile holds empty texts instead.
struct Profile
{
    /// The save folder, ending in a separator; empty for the default.
    QString dataDir;
    /// The heading lines on the page, the company name first.
    QStringList headingLines = QStringList(kHeadingLineCount);
    BillerDetails biller;
    QString nextInvoiceNumber;
    /// The next reference without its check digit.
    QString nextReferenceBase;
    /// The general VAT percentage as typed ("25,5").
    QString vatPercent;
    InvoiceDefaults defaults;
    /// Extra copies printed, as typed.
    QString copies;
    /// Brightness steps 0..10 of the heading's background and text.
    int headingBackground = 0;
    int headingText = 0;
    OutputOptions options;
    EinvoiceFormat einvoiceFormat = EinvoiceFormat::Finvoice;
    ReminderSettings reminders;
    Margins margins;
    GridLayout grid;
    /// By FontAreaSection; an area missing here has no stored font.
    QMap<QString, StoredFont> fonts;
    bool xPrint = false;
    QString pasteType;
    /// What ReadProfile could not read; each keeps its default above.
    QList<UnreadSetting> unread;
};

/// Every setting at its default.
Profile DefaultProfile();

/// The settings file at iniPath read once. Never throws: a missing,
/// unreadable or non-regular file gives DefaultProfile(), and a value that
/// does not read keeps its default (and is listed in Profile::unread).
Profile ReadProfile(const QString &iniPath);

/// The text of the settings file currentText with the profile written in:
/// a key whose stored value reads as the profile's value stays as it stands,
/// and so does an unread one (Profile::unread) whose value is still the
/// default; keys the program does not know stay byte for byte. Keys newer
/// than older files, and the grid and fonts, are written only when set or
/// already there.
QString ProfileFileText(const QString &currentText, const Profile &profile);

/// Writes the profile into the settings file at iniPath in one atomic
/// replacement (ProfileFileText of the file's text); nothing is written when
/// the file would not change. Throws IniWriteError, leaving the old file
/// whole, when the file cannot be read or written.
void WriteProfile(const QString &iniPath, const Profile &profile);

/// The text ReadProfile could not read for the key of the biller section;
/// nullopt when it read or is missing.
std::optional<QString> UnreadText(const Profile &profile, QStringView key);

/// The reminder settings, refused in Finnish (CommandError) when the file
/// holds one that does not read: reminders are never counted from a default
/// the user did not choose.
ReminderSettings CheckedReminderSettings(const Profile &profile);
