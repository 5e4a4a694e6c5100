#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// A shopping-cart listing copied from a web shop: the mark line, the
// customer's name and two address lines, then item lines among any others.

/// The whole first line of a listing, exactly; also the "PasteType" setting
/// that shows the paste command.
inline constexpr QStringView kShoppingCartMark = u"OSTOSKORI";

/// An amount as a web shop writes it, read: "1 234,50 €" gives "1234,50",
/// "3 kpl" gives "3" with the unit "kpl", "12,90 €/kpl" gives "12,90" and
/// "kpl".
struct ListingAmount
{
    /// Amount text: a sign when negative, the digits without group
    /// separators, a comma and the decimals when written.
    QString amount;
    /// The word after the number (or after "€/"), "" when none.
    QString unit;
    /// Whether it is written as money: with "€" or "EUR", or with decimals.
    bool money = false;
};

/// Reads an amount as web shops write it: blanks, no-break spaces (also the
/// narrow and thin ones) or a full stop followed by a comma between groups
/// of three digits, a decimal comma or full stop, "-" or the minus sign, "€"
/// or "EUR" before or after the number, and a unit word after it, alone or
/// after "€/". Nothing when the text holds no number or anything else.
std::optional<ListingAmount> ReadListingAmount(QStringView text);

/// An item line's first four tab-separated fields; the quantity and price
/// read as amount text where they read as amounts, else as they stand.
struct CartItem
{
    QString code;
    QString description;
    QString quantity;
    QString unit;
    QString price;
};

/// A listing line that the invoice does not show whole: an item line whose
/// quantity or price does not read, or a line skipped that carries a price
/// like an item.
struct CartProblem
{
    /// The line's number in the listing, from 1.
    qsizetype line = 0;
    QString text;
    bool noQuantity = false;
    bool noPrice = false;
    /// Skipped whole, not an item line.
    bool skipped = false;
};

struct ShoppingCart
{
    QString name;
    QString address1;
    QString address2;
    QList<CartItem> items;
    QList<CartProblem> problems;
    /// Why the listing is more than the program takes, the end of a Finnish
    /// sentence as LineCountRefusal gives it; empty when it fits.
    QString refusal;
};

/// The listing that text holds, or nothing when it is none: 3 lines or fewer,
/// or a first line that is not exactly kShoppingCartMark. Lines end at CR, LF
/// or CR LF. From line 5 on, a line whose first field starts with a digit 0
/// to 9, or is one word holding a digit (a product code such as "AB-4001"),
/// is an item line; every other line is skipped. An item line's fields keep
/// their places when some are empty: "1001<TAB><TAB>2<TAB>3,50" has no
/// description but its quantity and price. Item lines whose quantity or
/// price does not read, and skipped lines with a field written as money
/// that are not totals ("Yhteensä", "Alv" ...), are listed as problems.
std::optional<ShoppingCart> ParseShoppingCart(QStringView text);

/// The message shown when a listing is refused for the reason given.
QString ShoppingCartRefusedText(const QString &reason);

/// The one message naming the listing's lines that the invoice does not
/// show whole, so that the user can mend them.
QString ShoppingCartProblemsText(const QList<CartProblem> &problems);
