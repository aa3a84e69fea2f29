#include "ErrorMessage.h"

#include <cstring>

namespace textio {
namespace {

QString fileErrorText(const char* action, const QString& path, int error)
{
    return QStringLiteral("Cannot %1 file \"%2\". %3").arg(QLatin1StringView(action), path, systemReason(error));
}

[[noreturn]] void throwFileError(const char* action, const QString& path, int error)
{
    throw ErrorMessage(fileErrorText(action, path, error));
}

} // namespace

ErrorMessage::ErrorMessage(const QString& text)
    : std::runtime_error(text.toStdString())
{}

QString ErrorMessage::text() const
{
    return QString::fromUtf8(what());
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void throwCannotCreate(const QString& path, int error)
{
    throwFileError("create", path, error);
}

QString cannotOpenText(const QString& path, int error)
{
    return fileErrorText("open", path, error);
}

void throwCannotOpen(const QString& path, int error)
{
    throwFileError("open", path, error);
}

void throwCannotRead(const QString& path, int error)
{
    throwFileError("read", path, error);
}

void throwCannotWrite(const QString& path, int error)
{
    throwFileError("write", path, error);
}

} // namespace textio
