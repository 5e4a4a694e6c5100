// Errors of file commands, with the standard texts shown to the user.

#include "fileerror.h"

#include <QDir>

using namespace Qt::StringLiterals;

FileError::FileError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{
}

FileOpenError::FileOpenError(const QString &path)
    : FileError(u"Cannot open file %1"_s.arg(QDir::toNativeSeparators(path)))
{
}

FileCreateError::FileCreateError(const QString &path)
    : FileError(u"Cannot create file %1"_s.arg(QDir::toNativeSeparators(path)))
{
}
