#include "ByteStream.h"

#include "ErrorMessage.h"
#include "TextReader.h"

#include <QFile>

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

ByteStream::ByteStream(const QString& path)
    : m_path(path)
{
    struct stat status = {};
    m_file = openForReading(path, status);
    if (!S_ISREG(status.st_mode)) {
        m_file.reset();
        m_kept = readFileBytes(path);
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
