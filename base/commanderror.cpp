// Errors that abandon a command, with the standard texts shown to the user.

#include "base/commanderror.h"

#include <QDir>

using namespace Qt::StringLiterals;

CommandError::CommandError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{
}

FileOpenError::FileOpenError(const QString &path)
    : CommandError(u"Cannot open file %1"_s.arg(QDir::toNativeSeparators(path)))
{
}

FileCreateError::FileCreateError(const QString &path)
    : CommandError(u"Cannot create file %1"_s.arg(QDir::toNativeSeparators(path)))
{
}
