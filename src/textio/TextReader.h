#pragma once

#include "CodePage.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace textio {

// Where a text ended at its first U+0000: the byte offset of that character in the file, and how many bytes
// came after it unread.
struct NulStop
{
    qint64 offset = 0;
    qint64 bytesAfter = 0;

    friend bool operator==(const NulStop&, const NulStop&) = default;
};

// Hears what a reader has to say without stopping, e.g. the warning below.
using Warn = std::function<void(const QString&)>;

// The warning about a file whose text ended at a U+0000 with more than a few bytes after it; nothing for a
// text that ended with the file or just before its end (a NUL as the last character, a last line break).
std::optional<QString> nulStopWarning(const QString& path, const std::optional<NulStop>& stop);

struct DecodedText
{
    QString text;
    std::optional<NulStop> nulStop;
};

// Decodes a file's bytes: a byte-order mark chooses the encoding, otherwise EncodingGuess does, with `codePage`
// for 8-bit text. Invalid sequences become U+FFFD. The text ends at its first U+0000. LineReader decodes the same
// way, piece by piece.
DecodedText decodeText(QByteArrayView bytes, const CodePage& codePage = {});

// A text file decoded whole and cut into lines. The lines are views into `text`; moving the value keeps
// them valid, so it is move-only.
struct TextLines
{
    QString text;
    std::vector<QStringView> lines;
    std::optional<NulStop> nulStop;

    TextLines() = default;
    TextLines(TextLines&&) noexcept = default;
    TextLines& operator=(TextLines&&) noexcept = default;
    TextLines(const TextLines&) = delete;
    TextLines& operator=(const TextLines&) = delete;
};

// Lines end at CR LF, a lone CR or a lone LF; a break at the very end adds no empty line.
std::vector<QStringView> splitLines(QStringView text);

// Reads and decodes a whole file. Throws ErrorMessage "Cannot open file \"path\". reason", also for a folder, and
// "Cannot read file \"path\". reason" when reading fails.
QByteArray readFileBytes(const QString& path);
TextLines readTextFile(const QString& path, const CodePage& codePage = {});

} // namespace textio
