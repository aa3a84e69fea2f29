#include "FileWriter.h"

#include "ErrorMessage.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace textio {
namespace {

constexpr size_t bufferCapacity = 1 << 16;

} // namespace

FileWriter::FileWriter(const QString& path)
    : m_path(path)
{
    m_descriptor = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_descriptor < 0)
        throwCannotCreate(path, errno);
    m_buffer.reserve(bufferCapacity);
}

FileWriter::~FileWriter()
{
    if (m_descriptor < 0)
        return;
    writeBuffer();
    ::close(m_descriptor);
}

void FileWriter::write(std::string_view bytes)
{
    m_buffer.append(bytes);
    if (m_buffer.size() < bufferCapacity)
        return;
    if (const int error = writeBuffer())
        throwCannotWrite(m_path, error);
}

void FileWriter::finish()
{
    int error = writeBuffer();
    if (::close(m_descriptor) != 0 && error == 0)
        error = errno;
    m_descriptor = -1;
    if (error != 0)
        throwCannotWrite(m_path, error);
}

int FileWriter::writeBuffer()
{
    const char* data = m_buffer.data();
    size_t left = m_buffer.size();
    int error = 0;
    while (left > 0) {
        const ssize_t written = ::write(m_descriptor, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            error = errno;
            break;
        }
        data += written;
        left -= size_t(written);
    }
    m_buffer.clear();
    return error;
}

} // namespace textio
