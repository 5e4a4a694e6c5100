#pragma once

#include <QByteArray>
#include <QString>

/// The whole file, or empty when it cannot be read.
QByteArray readBytes(const QString &path);
/// Writes the bytes as the whole file; fails the running test when it cannot.
void writeBytes(const QString &path, const QByteArray &bytes);
