#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <memory>

struct stat;

namespace textio {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file for reading and fills `status`. Throws ErrorMessage "Cannot open file \"path\". reason", also for
// a folder, which opens for reading here but cannot be read.
OpenFile openForReading(const QString& path, struct stat& status);

// Reads what is left of an open file, `expected` bytes or any other number. Throws ErrorMessage
// "Cannot read file \"path\". reason".
QByteArray readRest(std::FILE* file, const QString& path, qint64 expected);

// Reads a file block by block, from the start as often as needed. A regular file is read from disk each time;
// anything else (a pipe) can be read only once, so it is read whole at the start and kept in memory.
class ByteStream
{
public:
    // Throws ErrorMessage "Cannot open file \"path\". reason", also for a folder.
    explicit ByteStream(const QString& path);

    // Reads up to `count` bytes into `out`; returns how many, 0 at the end. Throws ErrorMessage.
    qsizetype read(char* out, qsizetype count);
    void rewind();
    // The file's length when it was opened.
    qint64 size() const { return m_size; }

private:
    QString m_path;
    qint64 m_size = 0;
    OpenFile m_file;
    QByteArray m_kept;
    qsizetype m_keptPosition = 0;
};

} // namespace textio
