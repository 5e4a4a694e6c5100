// The customer register's name order and the name lookup that relies on it.

#include "collation.h"

#include "storage/gridline.h"

#include <QChar>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// A sort key is the primary weights (letters folded to the Finnish alphabet,
// case and accents ignored), then the case-folded text, then the text itself.
// Each part ends with a unit below every unit it can hold, so comparing keys
// compares the parts in turn.
constexpr char16_t kEndPrimary = 1;
constexpr char16_t kEndFolded = 0;

// Primary weights, in order: blanks, ASCII punctuation (by code), other
// signs, digits, the Finnish alphabet, other letters. A sign or letter
// outside these ranges weighs two or three units: a lead unit and its code.
constexpr char16_t kBlank = 2;
constexpr char16_t kOtherSign = 0x80;
constexpr char16_t kOtherSignWide = 0x81;
constexpr char16_t kDigit = 0x100;
constexpr char16_t kLetter = 0x200;
constexpr char16_t kOtherLetter = 0x300;
constexpr char16_t kOtherLetterWide = 0x301;

constexpr int kAring = 26;
constexpr int kAuml = 27;
constexpr int kOuml = 28;

void appendLetter(QString &out, int index)
{
    out += QChar(char16_t(kLetter + index));
}

void appendLatin(QString &out, QStringView letters)
{
    for (QChar c : letters)
        appendLetter(out, c.unicode() - u'a');
}

void appendWeights(char32_t c, QString &out)
{
    c = QChar::toCaseFolded(c);
    if (c >= U'a' && c <= U'z') {
        appendLetter(out, int(c - U'a'));
        return;
    }
    switch (c) {
    case 0x00E5: // å
        appendLetter(out, kAring);
        return;
    case 0x00E4: // ä
    case 0x00E6: // æ
        appendLetter(out, kAuml);
        return;
    case 0x00F6: // ö
    case 0x00F8: // ø
    case 0x0151: // ő
    case 0x0153: // œ
        appendLetter(out, kOuml);
        return;
    case 0x00FC: // ü
    case 0x0171: // ű
        appendLatin(out, u"y");
        return;
    case 0x00DF: // ß
        appendLatin(out, u"ss");
        return;
    case 0x00FE: // þ
        appendLatin(out, u"th");
        return;
    // Letters with a stroke have no decomposition to their base letter.
    case 0x00F0: // ð
    case 0x0111: // đ
        appendLatin(out, u"d");
        return;
    case 0x0127: // ħ
        appendLatin(out, u"h");
        return;
    case 0x0131: // dotless i
        appendLatin(out, u"i");
        return;
    case 0x0142: // ł
        appendLatin(out, u"l");
        return;
    case 0x014B: // ŋ
        appendLatin(out, u"n");
        return;
    case 0x0167: // ŧ
        appendLatin(out, u"t");
        return;
    default:
        break;
    }
    if (QChar::isDigit(c)) {
        out += QChar(char16_t(kDigit + QChar::digitValue(c)));
        return;
    }
    const QChar::Category category = QChar::category(c);
    if (QChar::isSpace(c) || category == QChar::Other_Control) {
        out += QChar(kBlank);
        return;
    }
    // é weighs as e, ǻ as å, ² as 2: weigh what the character stands for.
    const QString decomposed = QChar::decomposition(c);
    if (!decomposed.isEmpty()) {
        for (qsizetype i = 0; i < decomposed.size(); ++i) {
            char32_t part = decomposed[i].unicode();
            if (decomposed[i].isHighSurrogate() && i + 1 < decomposed.size()) {
                part = QChar::surrogateToUcs4(decomposed[i], decomposed[i + 1]);
                ++i;
            }
            appendWeights(part, out);
        }
        return;
    }
    // Combining accents and invisible marks such as the soft hyphen weigh nothing.
    if (QChar::isMark(c) || category == QChar::Other_Format)
        return;
    if (c < 0x80) {
        out += QChar(char16_t(c));
        return;
    }
    const bool letter = QChar::isLetter(c);
    if (QChar::requiresSurrogates(c)) {
        out += QChar(letter ? kOtherLetterWide : kOtherSignWide);
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(letter ? kOtherLetter : kOtherSign);
        out += QChar(char16_t(c));
    }
}

// Names are Windows-1252 text, so nearly every character is below 256.
const std::array<QString, 256> &latin1Weights()
{
    static const std::array<QString, 256> table = [] {
        std::array<QString, 256> weights;
        for (char32_t c = 0; c < 256; ++c)
            appendWeights(c, weights[c]);
        return weights;
    }();
    return table;
}

void appendPrimary(QStringView folded, QString &out)
{
    const auto &table = latin1Weights();
    for (qsizetype i = 0; i < folded.size(); ++i) {
        char32_t c = folded[i].unicode();
        if (c < 256) {
            out += table[c];
            continue;
        }
        if (folded[i].isHighSurrogate() && i + 1 < folded.size() && folded[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(folded[i], folded[i + 1]);
            ++i;
        }
        appendWeights(c, out);
    }
}

// The text with case folded away; a NUL, which would end the folded part of a
// key early, stands as the unit above it.
QString foldedText(QStringView text)
{
    QString folded = text.toString().toCaseFolded();
    folded.replace(QChar(kEndFolded), QChar(char16_t(kEndFolded + 1)));
    return folded;
}

// Appends the case-insensitive part of a key: primary weights, then the
// folded text that breaks ties between accents.
void appendFoldedKey(QStringView text, QString &out)
{
    const QString folded = foldedText(text);
    appendPrimary(folded, out);
    out += QChar(kEndPrimary);
    out += folded;
    out += QChar(kEndFolded);
}

bool hasNoPrimary(QStringView sortKey)
{
    return sortKey.isEmpty() || sortKey.front() == QChar(kEndPrimary);
}

} // namespace

QString NameSortKey(QStringView name)
{
    QString key;
    key.reserve(name.size() * 3 + 2);
    appendFoldedKey(name, key);
    key += name;
    return key;
}

QString NamePrimaryKey(QStringView name)
{
    QString key;
    key.reserve(name.size() + 1);
    AppendNamePrimaryKey(name, key);
    return key;
}

void AppendNamePrimaryKey(QStringView name, QString &key)
{
    // The weights fold case character by character, as folding the text does.
    appendPrimary(name, key);
    key += QChar(kEndPrimary);
}

void AppendRowOrderKey(QStringView cell, QString &key)
{
    appendFoldedKey(cell, key);
}

int CompareNames(QStringView a, QStringView b)
{
    const int order = NameSortKey(a).compare(NameSortKey(b));
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

namespace {

// The search of FindNamePrefix: keyAt gives a key that begins with the name's
// primary weights, foldedAt the name's case-folded text.
template <typename KeyAt, typename FoldedAt>
int findPrefix(qsizetype count, KeyAt keyAt, FoldedAt foldedAt, QStringView key, int first)
{
    const QString typed = foldedText(key);
    QString wanted;
    appendPrimary(typed, wanted);
    if (wanted.isEmpty())
        return -1;

    // Names that begin with the key, letter for letter, begin with its
    // primary weights too, and cutting sorted keys to one length keeps them
    // sorted: the search finds the first name of that run, and the run is
    // then read in order for the first name that really begins with the key.
    qsizetype lo = qMax(first, 0);
    qsizetype hi = count - 1;
    // An empty name would sort first, yet the register keeps its empty
    // new-customer row last; it can never match, so leave it out.
    while (hi >= lo && hasNoPrimary(QStringView(keyAt(hi))))
        --hi;

    const qsizetype last = hi;
    while (lo <= hi) {
        const qsizetype mid = lo + (hi - lo) / 2;
        if (QStringView(keyAt(mid)).left(wanted.size()).compare(wanted) < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    for (qsizetype i = lo; i <= last; ++i) {
        if (!QStringView(keyAt(i)).startsWith(wanted))
            break;
        if (QStringView(foldedAt(i)).startsWith(typed))
            return int(i);
    }
    return -1;
}

} // namespace

int FindNamePrefix(const QStringList &sortKeys, QStringView key, int first)
{
    return findPrefix(
        sortKeys.size(), [&sortKeys](qsizetype i) { return QStringView(sortKeys[i]); },
        [&sortKeys](qsizetype i) {
            const QStringView sortKey = sortKeys[i];
            return sortKey.sliced(sortKey.indexOf(QChar(kEndPrimary)) + 1);
        },
        key, first);
}

int FindNamePrefix(qsizetype count, const std::function<QString(qsizetype)> &primaryKey,
                   const std::function<QStringView(qsizetype)> &name, QStringView key, int first)
{
    return findPrefix(
        count, primaryKey, [&name](qsizetype i) { return foldedText(name(i)); }, key, first);
}

QString TypedName(QStringView typed, QStringView completed, QStringView text)
{
    const qsizetype limit = std::min({typed.size(), completed.size(), text.size()});
    qsizetype kept = 0;
    while (kept < limit && text[kept] == completed[kept])
        ++kept;
    return typed.left(kept).toString() + text.mid(kept).toString();
}
