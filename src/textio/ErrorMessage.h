#pragma once

#include <QString>

#include <stdexcept>

namespace textio {

// What ends an action with a message for the user: a file that cannot be created, opened, read or written, a
// number that does not convert. It carries the whole text the user is shown; the core throws it and never shows
// anything itself.
class ErrorMessage : public std::runtime_error
{
public:
    explicit ErrorMessage(const QString& text);

    QString text() const;
};

// The system's reason for errno value `error`, e.g. "No such file or directory".
QString systemReason(int error);

// "Cannot create file \"path\". reason"
[[noreturn]] void throwCannotCreate(const QString& path, int error);
// "Cannot open file \"path\". reason"
QString cannotOpenText(const QString& path, int error);
[[noreturn]] void throwCannotOpen(const QString& path, int error);
// "Cannot read file \"path\". reason": the file opened, but reading it failed.
[[noreturn]] void throwCannotRead(const QString& path, int error);
// "Cannot write file \"path\". reason"
[[noreturn]] void throwCannotWrite(const QString& path, int error);

} // namespace textio
