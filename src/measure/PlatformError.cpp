#include "PlatformError.h"

#include <cstring>

namespace measure {

PlatformError::PlatformError(const QString& message)
    : std::runtime_error(message.toStdString())
{}

QString PlatformError::message() const
{
    return QString::fromUtf8(what());
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void throwCannotCreate(const QString& path, int error)
{
    throw PlatformError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, systemReason(error)));
}

QString cannotOpenText(const QString& path, int error)
{
    return QStringLiteral("Cannot open file \"%1\". %2").arg(path, systemReason(error));
}

void throwCannotOpen(const QString& path, int error)
{
    throw PlatformError(cannotOpenText(path, error));
}

void throwCannotWrite(const QString& path, int error)
{
    throw PlatformError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, systemReason(error)));
}

} // namespace measure
