#include "FileWriter.h"

#include "ErrorMessage.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace textio {
namespace {

constexpr size_t bufferCapacity = 1 << 16;

// A hidden name beside the file, e.g. ".M.txt.x7Qa2c".
QByteArray temporaryName(const QByteArray& target)
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray name = target.left(slash + 1) + '.' + target.sliced(slash + 1) + '.';
    for (int i = 0; i < 6; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return name;
}

QByteArray folderOf(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
}

// What a plain create would write to: a symbolic link is followed, also to a file it names that is yet to be made.
QByteArray resolvedTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return QFile::encodeName(path);
    const QString canonical = info.canonicalFilePath();
    return QFile::encodeName(canonical.isEmpty() ? info.symLinkTarget() : canonical);
}

int openTemporaryFile(QByteArray& name, const QByteArray& target)
{
    // A file without a name cannot outlive the process, not even one that is killed. It gets its name through
    // /proc when it is complete, so without /proc it has a name from the start.
    if (::access("/proc/self/fd", X_OK) == 0) {
        const int unnamed = ::open(folderOf(target).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (unnamed >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
            return unnamed;
    }
    int descriptor = -1;
    do {
        name = temporaryName(target);
        descriptor = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    } while (descriptor < 0 && errno == EEXIST);
    if (descriptor < 0) {
        const int error = errno;
        name.clear();
        errno = error;
    }
    return descriptor;
}

} // namespace

StagedFile::~StagedFile()
{
    discard();
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : m_path(std::move(other.m_path)),
      m_target(std::exchange(other.m_target, {})),
      m_descriptor(std::exchange(other.m_descriptor, -1)),
      m_temporary(std::exchange(other.m_temporary, {}))
{}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept
{
    if (this != &other) {
        discard();
        m_path = std::move(other.m_path);
        m_target = std::exchange(other.m_target, {});
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_temporary = std::exchange(other.m_temporary, {});
    }
    return *this;
}

void StagedFile::commit()
{
    if (m_target.isEmpty())
        return;
    if (m_temporary.isEmpty()) {
        // The unnamed file gets a name of its own first: only a name can be renamed over the old file.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_descriptor);
        int linked = -1;
        do {
            m_temporary = temporaryName(m_target);
            linked = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, m_temporary.constData(), AT_SYMLINK_FOLLOW);
        } while (linked != 0 && errno == EEXIST);
        if (linked != 0) {
            const int error = errno;
            m_temporary.clear();
            discard();
            throwCannotCreate(m_path, error);
        }
    }
    if (::rename(m_temporary.constData(), m_target.constData()) != 0) {
        const int error = errno;
        discard();
        throwCannotCreate(m_path, error);
    }
    m_temporary.clear();
    m_target.clear();
    discard();
}

void StagedFile::discard() noexcept
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_descriptor = -1;
    m_temporary.clear();
    m_target.clear();
}

FileWriter::FileWriter(const QString& path)
{
    m_file.m_path = path;
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    const bool exists = ::stat(name.constData(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode))
        throwCannotCreate(path, EISDIR);
    // A file the user may not write stays protected, though its folder would let it be replaced.
    if (exists && ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0)
        throwCannotCreate(path, errno);
    if (exists && !S_ISREG(status.st_mode)) {
        // A device or a pipe cannot be replaced: it takes the bytes as they come.
        m_file.m_descriptor = ::open(name.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (m_file.m_descriptor < 0)
            throwCannotCreate(path, errno);
    } else {
        m_file.m_target = resolvedTarget(path);
        m_file.m_descriptor = openTemporaryFile(m_file.m_temporary, m_file.m_target);
        if (m_file.m_descriptor < 0) {
            const int error = errno;
            m_file.m_target.clear();
            throwCannotCreate(path, error);
        }
        // The new file keeps the permissions of the one it replaces, as a file truncated and rewritten would.
        if (exists)
            ::fchmod(m_file.m_descriptor, status.st_mode & 07777);
    }
    m_buffer.reserve(bufferCapacity);
}

void FileWriter::write(std::string_view bytes)
{
    m_buffer.append(bytes);
    if (m_buffer.size() >= bufferCapacity)
        writeBuffer();
}

StagedFile FileWriter::finish()
{
    writeBuffer();
    if (m_file.m_target.isEmpty()) {
        if (::close(std::exchange(m_file.m_descriptor, -1)) != 0)
            throwCannotWrite(m_file.m_path, errno);
    } else if (::fsync(m_file.m_descriptor) != 0) {
        throwCannotWrite(m_file.m_path, errno);
    }
    return std::move(m_file);
}

void FileWriter::writeBuffer()
{
    const char* data = m_buffer.data();
    size_t left = m_buffer.size();
    while (left > 0) {
        const ssize_t written = ::write(m_file.m_descriptor, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            throwCannotWrite(m_file.m_path, errno);
        data += written;
        left -= size_t(written);
    }
    m_buffer.clear();
}

} // namespace textio
