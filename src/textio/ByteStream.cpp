#include "ByteStream.h"

#include "ErrorMessage.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace textio {

OpenFile openForReading(const QString& path, struct stat& status)
{
    OpenFile file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file)
        throwCannotOpen(path, errno);
    if (fstat(fileno(file.get()), &status) != 0)
        throwCannotOpen(path, errno);
    if (S_ISDIR(status.st_mode))
        throwCannotOpen(path, EISDIR);
    return file;
}

QByteArray readRest(std::FILE* file, const QString& path, qint64 expected)
{
    // One byte more than expected: a short read then tells the end without growing a large buffer. A file
    // without a size (a pipe) or one still growing doubles the buffer as it goes.
    QByteArray bytes(qsizetype(expected) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        filled += qsizetype(std::fread(bytes.data() + filled, 1, size_t(bytes.size() - filled), file));
        if (filled < bytes.size())
            break;
        bytes.resize(bytes.size() * 2);
    }
    bytes.truncate(filled);
    if (std::ferror(file))
        throwCannotRead(path, errno ? errno : EIO);
    return bytes;
}

ByteStream::ByteStream(const QString& path)
    : m_path(path)
{
    struct stat status = {};
    m_file = openForReading(path, status);
    m_size = qint64(status.st_size);
    if (!S_ISREG(status.st_mode)) {
        // Read from this very opening: a named pipe opened once more would wait for a writer that has gone.
        m_kept = readRest(m_file.get(), path, 0);
        m_file.reset();
        m_size = m_kept.size();
    }
}

qsizetype ByteStream::read(char* out, qsizetype count)
{
    if (!m_file) {
        const qsizetype got = std::min(count, m_kept.size() - m_keptPosition);
        std::memcpy(out, m_kept.constData() + m_keptPosition, size_t(got));
        m_keptPosition += got;
        return got;
    }
    const size_t got = std::fread(out, 1, size_t(count), m_file.get());
    if (got == 0 && std::ferror(m_file.get()))
        throwCannotRead(m_path, errno ? errno : EIO);
    return qsizetype(got);
}

void ByteStream::rewind()
{
    m_keptPosition = 0;
    if (m_file && std::fseek(m_file.get(), 0, SEEK_SET) != 0)
        throwCannotRead(m_path, errno);
}

} // namespace textio
