// Reading a shopping-cart listing: one pass over the text, keeping only the
// customer lines and the item lines, so a listing of any size costs its items.

#include "shoppingcart.h"

#include "base/textlimits.h"
#include "invoice/amount.h"

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

// Problems named in the message; the rest are counted.
constexpr qsizetype kShownProblems = 20;
// Characters of a line shown in the message.
constexpr qsizetype kShownLineLength = 60;

// First words of the lines under the items that give sums, not items.
const QStringList kTotalWords = {u"yhteensä"_s, u"välisumma"_s, u"loppusumma"_s, u"kokonaissumma"_s,
                                 u"summa"_s, u"alv"_s, u"arvonlisävero"_s, u"veroton"_s,
                                 u"verollinen"_s, u"sisältää"_s, u"maksettava"_s};

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Blanks as shops put them between digit groups and around amounts.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u00A0' || c == u'\u202F' || c == u'\u2009';
}

QStringView trimmedBlanks(QStringView text)
{
    while (!text.isEmpty() && (isBlank(text.front()) || text.front() == u'\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (isBlank(text.back()) || text.back() == u'\t'))
        text.chop(1);
    return text;
}

// Takes a currency mark at the front of text; whether there was one.
bool takeCurrency(QStringView &text)
{
    for (QStringView mark : {QStringView(u"€"), QStringView(u"EUR")}) {
        if (text.startsWith(mark, Qt::CaseInsensitive)) {
            text = trimmedBlanks(text.sliced(mark.size()));
            return true;
        }
    }
    return false;
}

qsizetype digitsAt(QStringView text, qsizetype pos)
{
    qsizetype end = pos;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return end - pos;
}

QList<QStringView> tabFields(QStringView line)
{
    QList<QStringView> fields;
    for (qsizetype start = 0;;) {
        const qsizetype tab = line.indexOf(u'\t', start);
        if (tab < 0) {
            fields.append(line.sliced(start));
            return fields;
        }
        fields.append(line.sliced(start, tab - start));
        start = tab + 1;
    }
}

// A first field that names a product: it starts with a digit, or it is one
// word holding a digit.
bool isItemCode(QStringView field)
{
    if (field.isEmpty())
        return false;
    if (isDigit(field.front()))
        return true;
    bool digit = false;
    for (QChar c : field) {
        if (c.isSpace() || isBlank(c))
            return false;
        digit = digit || isDigit(c);
    }
    return digit;
}

bool isTotalLine(QStringView firstField)
{
    const QStringView trimmed = trimmedBlanks(firstField);
    for (const QString &word : kTotalWords) {
        if (trimmed.startsWith(word, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Whether a skipped line carries a price as an item does: a field after the
// first written as money, or one word and money without tabs.
bool carriesPrice(QStringView line)
{
    const QList<QStringView> fields = tabFields(line);
    if (isTotalLine(fields.constFirst()))
        return false;
    QList<QStringView> candidates = fields.mid(1);
    if (fields.size() == 1) {
        const QStringView trimmed = trimmedBlanks(line);
        qsizetype blank = 0;
        while (blank < trimmed.size() && !isBlank(trimmed[blank]))
            ++blank;
        candidates.append(trimmed.sliced(blank));
    }
    for (QStringView field : candidates) {
        const std::optional<ListingAmount> amount = ReadListingAmount(field);
        if (amount && amount->money)
            return true;
    }
    return false;
}

CartItem itemOf(QStringView line, CartProblem &problem)
{
    CartItem item;
    QString *const targets[] = {&item.code, &item.description, &item.quantity, &item.price};
    const QList<QStringView> fields = tabFields(line);
    for (qsizetype i = 0; i < std::min(fields.size(), qsizetype(std::size(targets))); ++i)
        *targets[i] = fields[i].toString();
    // The quantity's word is the unit; a price "per kpl" gives one too.
    if (const std::optional<ListingAmount> price = ReadListingAmount(item.price)) {
        item.price = price->amount;
        item.unit = price->unit;
    } else {
        problem.noPrice = true;
    }
    if (const std::optional<ListingAmount> quantity = ReadListingAmount(item.quantity)) {
        item.quantity = quantity->amount;
        if (!quantity->unit.isEmpty())
            item.unit = quantity->unit;
    } else {
        problem.noQuantity = true;
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
    for (qsizetype number = 5; start < text.size() && cart.refusal.isEmpty(); ++number) {
        const QStringView line = takeLine(text, start);
        cart.refusal = LineLengthRefusal(line.size());
        if (!cart.refusal.isEmpty())
            break;
        CartProblem problem{number, line.toString()};
        if (isItemCode(tabFields(line).constFirst())) {
            cart.refusal = LineCountRefusal(cart.items.size() + 1);
            if (cart.refusal.isEmpty())
                cart.items.append(itemOf(line, problem));
        } else {
            problem.skipped = carriesPrice(line);
        }
        if (problem.noQuantity || problem.noPrice || problem.skipped)
            cart.problems.append(std::move(problem));
    }
    if (!cart.refusal.isEmpty()) {
        cart.items.clear();
        cart.problems.clear();
    }
    return cart;
}

QString ShoppingCartRefusedText(const QString &reason)
{
    return u"Ostoskoria ei liitetty: leikepöydällä on %1."_s.arg(reason);
}

std::optional<ListingAmount> ReadListingAmount(QStringView text)
{
    QStringView rest = trimmedBlanks(text);
    ListingAmount result;
    result.money = takeCurrency(rest);
    QString amount;
    if (!rest.isEmpty() && (rest.front() == u'-' || rest.front() == u'\u2212')) {
        amount += u'-';
        rest = trimmedBlanks(rest.sliced(1));
    }
    qsizetype pos = 0;
    qsizetype run = digitsAt(rest, pos);
    if (run == 0)
        return std::nullopt;
    amount += rest.sliced(pos, run);
    pos += run;
    // Groups of three after a blank, or after a full stop when a decimal
    // comma follows ("1.234,50"); "12.90" is a decimal.
    while (pos + 1 < rest.size()) {
        const QChar separator = rest[pos];
        const qsizetype group = digitsAt(rest, pos + 1);
        const bool grouped = group == 3
            && (isBlank(separator)
                || (separator == u'.' && pos + 4 < rest.size() && rest[pos + 4] == u','));
        if (!grouped)
            break;
        amount += rest.sliced(pos + 1, 3);
        pos += 4;
    }
    if (pos + 1 < rest.size() && (rest[pos] == u',' || rest[pos] == u'.') && digitsAt(rest, pos + 1) > 0) {
        const qsizetype decimals = digitsAt(rest, pos + 1);
        amount += u',';
        amount += rest.sliced(pos + 1, decimals);
        pos += 1 + decimals;
        result.money = true;
    }
    rest = trimmedBlanks(rest.sliced(pos));
    if (takeCurrency(rest)) {
        result.money = true;
        if (rest.startsWith(u'/'))
            rest = trimmedBlanks(rest.sliced(1));
        else if (!rest.isEmpty())
            return std::nullopt;
    }
    for (QChar c : rest) {
        if (!c.isLetter() && c != u'.')
            return std::nullopt;
    }
    try {
        if (!TryParseAmount(amount))
            return std::nullopt;
    } catch (const FloatingPointOverflow &) {
        // No shop writes a price that large; it stays text.
        return std::nullopt;
    }
    result.amount = amount;
    result.unit = rest.toString();
    return result;
}

QString ShoppingCartProblemsText(const QList<CartProblem> &problems)
{
    QString text = u"Ostoskorista ei saatu laskulle kaikkea. Tarkista nämä rivit ja korjaa lasku:"_s;
    for (qsizetype i = 0; i < std::min(problems.size(), kShownProblems); ++i) {
        const CartProblem &problem = problems[i];
        QString line = trimmedBlanks(problem.text).toString().replace(u'\t', u' ').simplified();
        if (line.size() > kShownLineLength)
            line = line.first(kShownLineLength) + u'…';
        const QString what = problem.skipped ? u"ei otettu laskulle"_s
            : problem.noQuantity && problem.noPrice ? u"ei määrää eikä hintaa"_s
            : problem.noPrice ? u"ei hintaa"_s
                              : u"ei määrää"_s;
        text += u"\r\nrivi %1: %2 – %3"_s.arg(problem.line).arg(line, what);
    }
    if (problems.size() > kShownProblems)
        text += u"\r\n… ja %1 muuta riviä"_s.arg(problems.size() - kShownProblems);
    return text;
}
