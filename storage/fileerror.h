#pragma once

#include <QString>

#include <stdexcept>

// Errors that abandon a file command; the handler that started the command
// shows message() to the user.

/// A file that could not be read or written.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString &message);

    /// The text shown to the user, naming the file.
    QString message() const { return m_message; }

private:
    QString m_message;
};

/// A file that could not be opened for reading: "Cannot open file <path>".
class FileOpenError : public FileError
{
public:
    explicit FileOpenError(const QString &path);
};

/// A file that could not be created or written: "Cannot create file <path>".
class FileCreateError : public FileError
{
public:
    explicit FileCreateError(const QString &path);
};
