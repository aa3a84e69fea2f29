#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <memory>

namespace measure {

// Reads a file block by block, from the start as often as needed. A regular file is read from disk each time;
// anything else (a pipe) can be read only once, so it is read whole at the start and kept in memory.
class ByteStream
{
public:
    // Throws PlatformError "Cannot open file \"path\". reason", also for a folder.
    explicit ByteStream(const QString& path);

    // Reads up to `count` bytes into `out`; returns how many, 0 at the end. Throws PlatformError.
    qsizetype read(char* out, qsizetype count);
    void rewind();

private:
    struct FileCloser
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    QString m_path;
    std::unique_ptr<std::FILE, FileCloser> m_file;
    QByteArray m_kept;
    qsizetype m_keptPosition = 0;
};

} // namespace measure
