#pragma once

#include "measure/Slovnik.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzz {

// A property that holds for every input; a broken one stops the fuzzer with its place and text.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);                      \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

inline QByteArrayView bytesOf(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The input as a regular file in memory, which the readers open by name like any other.
class MemoryFile
{
public:
    explicit MemoryFile(QByteArrayView bytes)
        : m_descriptor(::memfd_create("fuzz-input", 0))
    {
        FUZZ_CHECK(m_descriptor >= 0);
        FUZZ_CHECK(::write(m_descriptor, bytes.data(), size_t(bytes.size())) == ssize_t(bytes.size()));
    }
    ~MemoryFile() { ::close(m_descriptor); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    QString path() const { return QStringLiteral("/proc/self/fd/%1").arg(m_descriptor); }

private:
    int m_descriptor;
};

// A folder for files written by the program, in memory where the system has a place for it: an output is
// flushed to disk before it is committed, which on a disk would cost more than the rest of a run.
inline QTemporaryDir scratchFolder()
{
    const QString memory = QStringLiteral("/dev/shm");
    return QTemporaryDir(QFileInfo(memory).isWritable() ? memory + QStringLiteral("/vocabrix-fuzz-XXXXXX")
                                                        : QDir::tempPath() + QStringLiteral("/vocabrix-fuzz-XXXXXX"));
}

inline void writeFile(const QString& path, std::string_view bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()));
}

// Reads the fuzzer's bytes front to back; past the end it yields zeros.
class ByteSource
{
public:
    explicit ByteSource(std::span<const uint8_t> bytes)
        : m_bytes(bytes)
    {}

    bool empty() const { return m_position >= m_bytes.size(); }
    uint8_t byte() { return empty() ? 0 : m_bytes[m_position++]; }
    quint32 word()
    {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return value;
    }

private:
    std::span<const uint8_t> m_bytes;
    size_t m_position = 0;
};

// An input that begins with "R" drives a check that writes a file as the program does and reads it back, from
// its other bytes; any other input is a file to read as it is.
inline int readOrReadBack(const uint8_t* data, size_t size, const std::function<void(ByteSource&)>& readBack,
                          const std::function<void(const QString& path, QByteArrayView bytes)>& read)
{
    if (size > 0 && data[0] == 'R') {
        ByteSource source({data + 1, size - 1});
        readBack(source);
        return 0;
    }
    const QByteArrayView bytes = bytesOf(data, size);
    const MemoryFile file(bytes);
    read(file.path(), bytes);
    return 0;
}

// A dictionary as a run could leave it, its types drawn from letters that sort and encode in interesting ways
// (case pairs, accents, Cyrillic, TAB, space, digits); no line break or NUL, which no single type can hold.
inline measure::Slovnik dictionaryFrom(ByteSource& source)
{
    static constexpr char16_t letters[] = u"aAbBe\u00E9\u00C9\t 0719\u0416\u0436\u00DF\u2019\uFFFDzZ";
    measure::Slovnik slovnik;
    while (!source.empty()) {
        std::u16string type;
        for (int length = source.byte() % 8; length > 0; --length)
            type += letters[source.byte() % (std::size(letters) - 1)];
        slovnik[type].H = std::max<quint32>(1, source.word());
    }
    return slovnik;
}

} // namespace fuzz
