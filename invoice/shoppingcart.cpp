// Reading a shopping-cart listing: one pass over the text, keeping only the
// customer lines and the item lines, so a listing of any size costs its items.

#include "shoppingcart.h"

#include "storage/textfile.h"

using namespace Qt::StringLiterals;

namespace {

// The next line from position start on; start moves past its line ending.
QStringView takeLine(QStringView text, qsizetype &start)
{
    qsizetype end = start;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    const QStringView line = text.sliced(start, end - start);
    if (end < text.size() && text[end] == u'\r')
        ++end;
    if (end < text.size() && text[end] == u'\n')
        ++end;
    start = end;
    return line;
}

bool isItemLine(QStringView line)
{
    return !line.isEmpty() && line.front() >= u'0' && line.front() <= u'9';
}

CartItem itemOf(QStringView line)
{
    CartItem item;
    QString *const targets[] = {&item.code, &item.description, &item.quantity, &item.price};
    qsizetype start = 0;
    for (QString *target : targets) {
        if (start > line.size())
            break;
        qsizetype tab = line.indexOf(u'\t', start);
        if (tab < 0)
            tab = line.size();
        *target = line.sliced(start, tab - start).toString();
        start = tab + 1;
    }
    return item;
}

} // namespace

std::optional<ShoppingCart> ParseShoppingCart(QStringView text)
{
    qsizetype start = 0;
    if (start >= text.size() || takeLine(text, start) != kShoppingCartMark)
        return std::nullopt;
    ShoppingCart cart;
    for (QString *line : {&cart.name, &cart.address1, &cart.address2}) {
        if (start >= text.size())
            return std::nullopt;
        *line = takeLine(text, start).toString();
    }
    cart.refusal = LineLengthRefusal(std::max({cart.name.size(), cart.address1.size(), cart.address2.size()}));
    while (start < text.size() && cart.refusal.isEmpty()) {
        const QStringView line = takeLine(text, start);
        if (!isItemLine(line))
            continue;
        cart.refusal = LineLengthRefusal(line.size());
        if (cart.refusal.isEmpty())
            cart.refusal = LineCountRefusal(cart.items.size() + 1);
        if (cart.refusal.isEmpty())
            cart.items.append(itemOf(line));
    }
    if (!cart.refusal.isEmpty())
        cart.items.clear();
    return cart;
}

QString ShoppingCartRefusedText(const QString &reason)
{
    return u"Ostoskoria ei liitetty: leikepöydällä on %1."_s.arg(reason);
}
