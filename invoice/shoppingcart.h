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

/// An item line's first four tab-separated fields, taken unchanged.
struct CartItem
{
    QString code;
    QString description;
    QString quantity;
    QString price;
};

struct ShoppingCart
{
    QString name;
    QString address1;
    QString address2;
    QList<CartItem> items;
    /// Why the listing is more than the program takes, the end of a Finnish
    /// sentence as LineCountRefusal gives it; empty when it fits.
    QString refusal;
};

/// The listing that text holds, or nothing when it is none: 3 lines or fewer,
/// or a first line that is not exactly kShoppingCartMark. Lines end at CR, LF
/// or CR LF. From line 5 on, a line whose first character is a digit 0 to 9
/// is an item line; every other line is skipped. An item line's fields keep
/// their places when some are empty: "1001<TAB><TAB>2<TAB>3,50" has no
/// description but its quantity and price.
std::optional<ShoppingCart> ParseShoppingCart(QStringView text);

/// The message shown when a listing is refused for the reason given.
QString ShoppingCartRefusedText(const QString &reason);
