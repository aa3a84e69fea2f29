#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>

// Byte-exact file access for tests: what a test writes and reads back is never translated.
inline void writeTestFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path));
}

inline QByteArray readTestFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The bytes of a string literal, embedded NULs included.
template <std::size_t size>
QByteArray literalBytes(const char (&literal)[size])
{
    return QByteArray(literal, qsizetype(size - 1));
}

inline const QByteArray utf8Bom = "\xEF\xBB\xBF";
inline const QByteArray utf16LeBom = "\xFF\xFE";
inline const QByteArray utf16BeBom = "\xFE\xFF";
