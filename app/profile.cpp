// The settings file as one value: the table of every key with its section
// and default, the reader and the writer.

#include "app/inifile.h"
#include "app/profile.h"
#include "app/settingsrules.h"
#include "base/commanderror.h"
#include "storage/payments.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString kFile = u"File"_s;
const QString kBiller = kBillerSection.toString();
const QString kMargins = u"Marginaalit"_s;

// Reads a stored text into the profile; false, the profile unchanged, when
// the text does not read.
using Reader = std::function<bool(Profile &, const QString &)>;
// The text the profile's value is stored as; nullopt when it holds none.
using Writer = std::function<std::optional<QString>(const Profile &)>;

struct Setting
{
    QString section;
    QString key;
    // Null for a setting with no default of its own (grid and fonts).
    QString defaultText;
    // Written only when it differs from its default or is already there,
    // so that a file of an older version stays as it was.
    bool newer = false;
    Reader read;
    Writer text;
    // Reads a stored number as it stands, out of range too, to tell whether
    // the file already holds the value; none where read does.
    Reader readAsStored = nullptr;
};

// Accessors are generic lambdas that give the member of a const or a
// non-const profile alike.
template<typename Field>
Setting textSetting(const QString &section, const QString &key, const QString &defaultText, Field field,
                    bool newer = false)
{
    return {section, key, defaultText, newer,
            [field](Profile &p, const QString &text) {
                field(p) = text;
                return true;
            },
            [field](const Profile &p) -> std::optional<QString> { return field(p); }};
}

std::optional<int> readInteger(const QString &text)
{
    const int value = IniParseInteger(text, 0);
    if (value == 0 && IniParseInteger(text, 1) != 0)
        return std::nullopt;
    return value;
}

template<typename Field, typename Stored>
Reader integerReader(Field field, Stored stored)
{
    return [field, stored](Profile &p, const QString &text) {
        const std::optional<int> value = readInteger(text);
        if (value)
            field(p) = stored(*value);
        return value.has_value();
    };
}

template<typename Field>
Setting integerSetting(const QString &section, const QString &key, int defaultValue, Field field,
                       int (*clamp)(int))
{
    return {section, key, QString::number(defaultValue), false, integerReader(field, clamp),
            [field](const Profile &p) -> std::optional<QString> { return QString::number(field(p)); },
            integerReader(field, [](int value) { return value; })};
}

template<typename Field>
Setting boolSetting(const QString &section, const QString &key, bool defaultValue, Field field, bool newer = false)
{
    return {section, key, QString::number(defaultValue ? 1 : 0), newer,
            [field](Profile &p, const QString &text) {
                const std::optional<int> value = readInteger(text);
                if (value)
                    field(p) = *value != 0;
                return value.has_value();
            },
            [field](const Profile &p) -> std::optional<QString> { return QString::number(field(p) ? 1 : 0); }};
}

// A grid size or a font part that only the file can set.
template<typename Field>
Setting optionalIntegerSetting(const QString &section, const QString &key, Field field,
                               std::optional<int> (*stored)(int))
{
    return {section, key, QString(), true, integerReader(field, stored),
            [field](const Profile &p) -> std::optional<QString> {
                const std::optional<int> value = field(p);
                if (!value)
                    return std::nullopt;
                return QString::number(*value);
            },
            integerReader(field, [](int value) { return std::optional<int>(value); })};
}

std::optional<int> columnWidth(int width)
{
    return ClampGridColumnWidth(width);
}

std::optional<int> rowHeight(int height)
{
    return ClampGridRowHeight(height);
}

template<typename Parse, typename Field, typename Format>
Setting checkedSetting(const QString &key, const QString &defaultText, Parse parse, Field field, Format format)
{
    return {kBiller, key, defaultText, true,
            [parse, field](Profile &p, const QString &text) {
                try {
                    field(p) = parse(text);
                    return true;
                } catch (const CommandError &) {
                    return false;
                }
            },
            [field, format](const Profile &p) -> std::optional<QString> { return format(field(p)); }};
}

QList<Setting> makeSettings()
{
    QList<Setting> s;
    s.append({kFile, u"OletDir"_s, QString(), false,
              [](Profile &p, const QString &text) {
                  p.dataDir = text;
                  // A folder typed into the file by hand may lack its closing separator.
                  if (!text.isEmpty() && !text.endsWith(u'/') && !text.endsWith(QDir::separator()))
                      p.dataDir += QDir::separator();
                  return true;
              },
              [](const Profile &p) -> std::optional<QString> { return p.dataDir; }});
    const auto heading = [&s](const QString &key, const QString &defaultText, int line) {
        s.append(textSetting(kBiller, key, defaultText, [line](auto &p) -> auto & { return p.headingLines[line]; }));
    };
    heading(u"OtsikkoNimi"_s, u"Nimi?"_s, 0);
    heading(u"Otsikkorivi2"_s, QString(u""_s), 1);
    heading(u"Otsikkorivi3"_s, QString(u""_s), 2);
    const auto text = [&s](const QString &key, const QString &defaultText, auto field) {
        s.append(textSetting(kBiller, key, defaultText, field));
    };
    text(u"Nimi"_s, u"Nimi?"_s, [](auto &p) -> auto & { return p.biller.officialName; });
    text(u"Osoite1"_s, u"Osoite?"_s, [](auto &p) -> auto & { return p.biller.address1; });
    text(u"Osoite2"_s, u""_s, [](auto &p) -> auto & { return p.biller.address2; });
    text(u"Kaupunki"_s, u"00000 KAUPUNKI?"_s, [](auto &p) -> auto & { return p.biller.postOffice; });
    text(u"Puhelin"_s, u"(00)0000000?"_s, [](auto &p) -> auto & { return p.biller.phone; });
    text(u"Faksi"_s, u""_s, [](auto &p) -> auto & { return p.biller.fax; });
    text(u"Kotipaikka"_s, u"KAUPUNKI?"_s, [](auto &p) -> auto & { return p.biller.homeTown; });
    text(u"SeurLasku"_s, u"1"_s, [](auto &p) -> auto & { return p.nextInvoiceNumber; });
    // A reference of at least four digits with its check digit, as banks require.
    text(u"SeurViite"_s, u"100"_s, [](auto &p) -> auto & { return p.nextReferenceBase; });
    text(u"Y-yunnus"_s, u"1234567-8?"_s, [](auto &p) -> auto & { return p.biller.businessId; });
    text(u"Alv-tunnus"_s, u"1234567-8?"_s, [](auto &p) -> auto & { return p.biller.vatId; });
    text(u"Alv"_s, u"25,5"_s, [](auto &p) -> auto & { return p.vatPercent; });
    s.append(boolSetting(kBiller, u"ASisAlv"_s, false, [](auto &p) -> auto & { return p.defaults.unitPricesWithVat; }));
    s.append(boolSetting(kBiller, u"YhtSisAlv"_s, true, [](auto &p) -> auto & { return p.defaults.rowTotalsWithVat; }));
    text(u"Pankki"_s, u""_s, [](auto &p) -> auto & { return p.biller.bank; });
    text(u"Iban"_s, u"FI00 0000 0000 0000 00?"_s, [](auto &p) -> auto & { return p.biller.iban; });
    text(u"Bic"_s, u"BANKBANK?"_s, [](auto &p) -> auto & { return p.biller.bic; });
    text(u"Maksuehto"_s, u"14 pv netto"_s, [](auto &p) -> auto & { return p.defaults.paymentTerms; });
    text(u"Viiv.korko"_s, u"13%"_s, [](auto &p) -> auto & { return p.defaults.penaltyInterest; });
    text(u"Huom.aika"_s, u"7 pv"_s, [](auto &p) -> auto & { return p.defaults.reminderTime; });
    text(u"VapaaTeksti1"_s, u""_s, [](auto &p) -> auto & { return p.biller.freeText1; });
    text(u"VapaaTeksti2"_s, u""_s, [](auto &p) -> auto & { return p.biller.freeText2; });
    text(u"Kopiot"_s, u"0"_s, [](auto &p) -> auto & { return p.copies; });
    s.append(integerSetting(kBiller, u"OtsBakCol"_s, 7, [](auto &p) -> auto & { return p.headingBackground; },
                            ClampBrightnessStep));
    s.append(integerSetting(kBiller, u"OtsTxtCol"_s, 0, [](auto &p) -> auto & { return p.headingText; },
                            ClampBrightnessStep));
    s.append(boolSetting(kBiller, u"Viivakoodi"_s, false, [](auto &p) -> auto & { return p.options.barcode; }));
    s.append(boolSetting(kBiller, u"PdfOletus"_s, false, [](auto &p) -> auto & { return p.options.pdfDefault; }));
    s.append(boolSetting(kBiller, u"RfViite"_s, false, [](auto &p) -> auto & { return p.options.rfReference; }, true));
    s.append(boolSetting(kBiller, u"QrKoodi"_s, false, [](auto &p) -> auto & { return p.options.qrCode; }, true));
    s.append(textSetting(kBiller, u"Verkkolaskuosoite"_s, u""_s,
                         [](auto &p) -> auto & { return p.biller.einvoice.address; }, true));
    s.append(textSetting(kBiller, u"Valittajatunnus"_s, u""_s,
                         [](auto &p) -> auto & { return p.biller.einvoice.operatorId; }, true));
    s.append({kBiller, u"Verkkolaskumuoto"_s, u"0"_s, true,
              [](Profile &p, const QString &text) {
                  const std::optional<int> value = readInteger(text);
                  if (value)
                      p.einvoiceFormat = StoredEinvoiceFormat(*value);
                  return value.has_value();
              },
              [](const Profile &p) -> std::optional<QString> { return QString::number(int(p.einvoiceFormat)); }});

    const ReminderSettings reminderDefaults;
    s.append(checkedSetting(
        kReferenceRatesKey.toString(), ReferenceRatesText(reminderDefaults.referenceRates), ParseReferenceRates,
        [](auto &p) -> auto & { return p.reminders.referenceRates; }, ReferenceRatesText));
    s.append(checkedSetting(
        kReminderFeeKey.toString(), PaymentAmountText(reminderDefaults.feeCents), ReminderFeeCents,
        [](auto &p) -> auto & { return p.reminders.feeCents; }, PaymentAmountText));
    s.append(boolSetting(kBiller, kFixedCompensationKey.toString(), reminderDefaults.fixedCompensation,
                         [](auto &p) -> auto & { return p.reminders.fixedCompensation; }, true));
    s.append(checkedSetting(
        kReminderTermKey.toString(), reminderDefaults.term, ReminderTermText,
        [](auto &p) -> auto & { return p.reminders.term; }, [](const QString &term) { return term; }));

    const auto margin = [&s](const QString &key, auto field) {
        s.append(integerSetting(kMargins, key, 0, field, ClampMarginMm));
    };
    margin(u"Left"_s, [](auto &p) -> auto & { return p.margins.left; });
    margin(u"Top"_s, [](auto &p) -> auto & { return p.margins.top; });
    margin(u"Right"_s, [](auto &p) -> auto & { return p.margins.right; });
    margin(u"Bottom"_s, [](auto &p) -> auto & { return p.margins.bottom; });
    margin(u"BankTrLeft"_s, [](auto &p) -> auto & { return p.margins.giroLeft; });
    margin(u"BankTrRight"_s, [](auto &p) -> auto & { return p.margins.giroRight; });

    for (int c = 0; c < RowColumnCount; ++c)
        s.append(optionalIntegerSetting(kBiller, u"ColWidth"_s + QString::number(c),
                                        [c](auto &p) -> auto & { return p.grid.rowsColumnWidths[c]; }, columnWidth));
    for (int r = 0; r < CustomerLineCount; ++r)
        s.append(optionalIntegerSetting(kBiller, u"AsiakRow"_s + QString::number(r),
                                        [r](auto &p) -> auto & { return p.grid.customerRowHeights[r]; }, rowHeight));
    for (int r = 0; r < kHeadingLineCount; ++r)
        s.append(optionalIntegerSetting(kBiller, u"OmatRow"_s + QString::number(r),
                                        [r](auto &p) -> auto & { return p.grid.billerRowHeights[r]; }, rowHeight));

    for (QStringView area : FontAreaSection::All) {
        const QString section = area.toString();
        // A font part is written once the user chose a font for the area.
        s.append({section, u"FontName"_s, QString(), true,
                  [section](Profile &p, const QString &text) {
                      p.fonts[section].family = text;
                      return true;
                  },
                  [section](const Profile &p) { return p.fonts.value(section).family; }});
        s.append({section, u"FontSize"_s, QString(), true,
                  [section](Profile &p, const QString &text) {
                      const std::optional<int> value = readInteger(text);
                      if (value)
                          p.fonts[section].pointSize = StoredFontPointSize(*value);
                      return value.has_value();
                  },
                  [section](const Profile &p) -> std::optional<QString> {
                      const std::optional<int> size = p.fonts.value(section).pointSize;
                      return size ? std::optional<QString>(QString::number(*size)) : std::nullopt;
                  },
                  [section](Profile &p, const QString &text) {
                      const std::optional<int> value = readInteger(text);
                      if (value)
                          p.fonts[section].pointSize = *value;
                      return value.has_value();
                  }});
        s.append({section, u"FontStyle"_s, QString(), true,
                  [section](Profile &p, const QString &text) {
                      const std::optional<int> value = readInteger(text);
                      if (value)
                          p.fonts[section].style = *value;
                      return value.has_value();
                  },
                  [section](const Profile &p) -> std::optional<QString> {
                      const std::optional<int> style = p.fonts.value(section).style;
                      return style ? std::optional<QString>(QString::number(*style)) : std::nullopt;
                  }});
    }

    // Two switches with no place in the window.
    s.append({u"PrintMode"_s, u"XPrint"_s, u"0"_s, true,
              [](Profile &p, const QString &text) {
                  const std::optional<int> value = readInteger(text);
                  if (value)
                      p.xPrint = *value == 1;
                  return value.has_value();
              },
              [](const Profile &p) -> std::optional<QString> { return QString::number(p.xPrint ? 1 : 0); }});
    s.append(textSetting(u"ClipBoard"_s, u"PasteType"_s, u""_s, [](auto &p) -> auto & { return p.pasteType; }, true));
    return s;
}

const QList<Setting> &settings()
{
    static const QList<Setting> table = makeSettings();
    return table;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isUnread(const Profile &profile, const Setting &setting)
{
    return std::any_of(profile.unread.cbegin(), profile.unread.cend(), [&setting](const UnreadSetting &u) {
        return sameName(u.section, setting.section) && sameName(u.key, setting.key);
    });
}

Profile profileOfText(const std::optional<QString> &fileText)
{
    Profile profile = DefaultProfile();
    if (!fileText)
        return profile;
    for (const Setting &setting : settings()) {
        const std::optional<QString> stored = IniValue(*fileText, setting.section, setting.key);
        if (stored && !setting.read(profile, *stored))
            profile.unread.append({setting.section, setting.key, *stored});
    }
    return profile;
}

} // namespace

Profile DefaultProfile()
{
    Profile profile;
    for (const Setting &setting : settings()) {
        if (!setting.defaultText.isNull())
            setting.read(profile, setting.defaultText);
    }
    return profile;
}

Profile ReadProfile(const QString &iniPath)
{
    return profileOfText(ReadIniText(iniPath));
}

QString ProfileFileText(const QString &currentText, const Profile &profile)
{
    QString text = currentText;
    for (const Setting &setting : settings()) {
        const std::optional<QString> value = setting.text(profile);
        if (!value)
            continue;
        const std::optional<QString> stored = IniValue(currentText, setting.section, setting.key);
        if (stored) {
            Profile asStored = profile;
            const bool reads = (setting.readAsStored ? setting.readAsStored : setting.read)(asStored, *stored);
            // A value that reads as the profile's, or one that did not read
            // and was left at its default, keeps its own spelling.
            if (reads ? setting.text(asStored) == value : isUnread(profile, setting) && *value == setting.defaultText)
                continue;
        } else if (setting.newer && *value == setting.defaultText) {
            continue;
        }
        text = IniWriteString(text, setting.section, setting.key, *value);
    }
    return text;
}

void WriteProfile(const QString &iniPath, const Profile &profile)
{
    const bool exists = QFileInfo::exists(iniPath);
    QString current;
    if (exists) {
        // Rewriting a file we could not read would throw away all its other keys.
        const std::optional<QString> read = ReadIniText(iniPath);
        if (!read)
            throw IniWriteError(iniPath);
        current = *read;
    }
    const QString text = ProfileFileText(current, profile);
    if (exists && text == current)
        return;
    ReplaceIniText(iniPath, text);
}

std::optional<QString> UnreadText(const Profile &profile, QStringView key)
{
    for (const UnreadSetting &u : profile.unread) {
        if (sameName(u.section, kBiller) && u.key.compare(key, Qt::CaseInsensitive) == 0)
            return u.text;
    }
    return std::nullopt;
}

ReminderSettings CheckedReminderSettings(const Profile &profile)
{
    // The readers refuse in Finnish what they could not read before.
    if (const std::optional<QString> rates = UnreadText(profile, kReferenceRatesKey))
        ParseReferenceRates(*rates);
    if (const std::optional<QString> fee = UnreadText(profile, kReminderFeeKey))
        ReminderFeeCents(*fee);
    if (const std::optional<QString> term = UnreadText(profile, kReminderTermKey))
        ReminderTermText(*term);
    return profile.reminders;
}
