#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The customer register's name order: Finnish alphabet (å, ä, ö after z),
// case and accents ignored first, blanks, punctuation and digits before
// letters; accents, then case, only break ties.

/// A key whose plain binary comparison (QString::compare, operator<) gives the
/// name order. Compute it once per name when sorting or searching many.
QString NameSortKey(QStringView name);

/// The first part of NameSortKey: the name's primary weights (case and
/// accents ignored), ended by a unit below every weight. Comparing these keys
/// orders names as NameSortKey does, but for names that differ only in case
/// or accents, which compare equal.
QString NamePrimaryKey(QStringView name);

/// Appends NamePrimaryKey of the name to the key.
void AppendNamePrimaryKey(QStringView name, QString &key);

/// Appends one cell's part of a register row's order key: rows compare as the
/// concatenation of their cells' parts.
void AppendRowOrderKey(QStringView cell, QString &key);

/// Compares two names in name order: negative, zero or positive.
int CompareNames(QStringView a, QStringView b);

/// Searches names kept in name order for one that begins with the typed key
/// letter for letter, ignoring case only: é is not e, ß is not ss. sortKeys
/// holds NameSortKey of each name in row order; rows before first are not
/// searched, and empty names at the end (the register's new-customer row) are
/// left out. Of several names that begin with the key the first in order is
/// found. Returns its index, or -1 when there is none, the key is empty or
/// first lies beyond the last index.
int FindNamePrefix(const QStringList &sortKeys, QStringView key, int first);

/// FindNamePrefix over count names kept in name order, given by their
/// NamePrimaryKey and by the names themselves, so no whole sort key is kept.
int FindNamePrefix(qsizetype count, const std::function<QString(qsizetype)> &primaryKey,
                   const std::function<QStringView(qsizetype)> &name, QStringView key, int first);

/// The name box's text as the user typed it. `completed` is the register's
/// name the box showed for the beginning `typed`, and `text` the box's text
/// now: the part of it still equal to the completed name, up to the length
/// typed, is given back in the case it was typed in; the rest is as it is.
QString TypedName(QStringView typed, QStringView completed, QStringView text);
