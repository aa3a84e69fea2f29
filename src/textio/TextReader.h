#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

namespace textio {

// A text file decoded whole and cut into lines. The lines are views into `text`; moving the value keeps
// them valid, so it is move-only.
struct TextLines
{
    QString text;
    std::vector<QStringView> lines;

    TextLines() = default;
    TextLines(TextLines&&) noexcept = default;
    TextLines& operator=(TextLines&&) noexcept = default;
    TextLines(const TextLines&) = delete;
    TextLines& operator=(const TextLines&) = delete;
};

// Decodes a file's bytes: a byte-order mark (EF BB BF, FF FE, FE FF) chooses UTF-8, UTF-16 LE or BE;
// without one the bytes are UTF-8 when valid, Windows-1252 otherwise. Invalid sequences become U+FFFD.
// The text ends at its first U+0000. LineReader decodes the same way, piece by piece.
QString decodeText(QByteArrayView bytes);

// Lines end at CR LF, a lone CR or a lone LF; a break at the very end adds no empty line.
std::vector<QStringView> splitLines(QStringView text);

// Reads and decodes a whole file. Throws ErrorMessage "Cannot open file \"path\". reason", also for a folder.
QByteArray readFileBytes(const QString& path);
TextLines readTextFile(const QString& path);

} // namespace textio
