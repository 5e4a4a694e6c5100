#pragma once

#include <QString>

#include <stdexcept>

// Errors that abandon a command. The window runs every command through one
// method that shows message() to the user, so no error ever leaves a slot.

/// The program's one error base: the text shown to the user, also as what()
/// in UTF-8.
class CommandError : public std::runtime_error
{
public:
    explicit CommandError(const QString &message);

    QString message() const { return m_message; }

private:
    QString m_message;
};

/// A file that could not be opened for reading: "Cannot open file <path>".
class FileOpenError : public CommandError
{
public:
    explicit FileOpenError(const QString &path);
};

/// A file that could not be created or written: "Cannot create file <path>".
class FileCreateError : public CommandError
{
public:
    explicit FileCreateError(const QString &path);
};
