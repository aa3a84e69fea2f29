#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <ostream>

// GoogleTest prints Qt strings as text, not as arrays of two-byte objects. Bytes outside printable ASCII are
// escaped, so a CR LF or a byte-order mark shows in a failure message.
inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"';
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b == '\r' || b == '\n' || b == '\t') {
            *out << (b == '\r' ? "\\r" : b == '\n' ? "\\n" : "\\t");
        } else if (b < 0x20 || b >= 0x7F || b == '"' || b == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
            *out << escaped;
        } else {
            *out << byte;
        }
    }
    *out << '"';
}

inline void PrintTo(const QString& text, std::ostream* out)
{
    PrintTo(text.toUtf8(), out);
}
