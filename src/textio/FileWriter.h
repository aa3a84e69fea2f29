#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

namespace textio {

// A complete output waiting in a temporary file of its folder until commit() puts it in place. Destroyed
// uncommitted, it removes the temporary file: the older file of that name stays as it was.
class StagedFile
{
public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Replaces the file of that name at once, so a reader sees either the old file or the new one whole.
    // Throws ErrorMessage "Cannot create file \"path\". reason".
    void commit();

private:
    friend class FileWriter;
    void discard() noexcept;

    QString m_path;         // as the user gave it, for messages
    QByteArray m_target;    // where the file goes, symbolic links followed
    int m_descriptor = -1;  // the open temporary file
    QByteArray m_temporary; // its name; empty for a file without one (O_TMPFILE)
};

// Writes an output file through a buffer into a temporary file in the file's folder; finish() hands it on
// complete and flushed to disk. A writer destroyed unfinished leaves nothing behind. A device or a pipe (not a
// regular file) cannot be replaced and is written in place.
class FileWriter
{
public:
    // Throws ErrorMessage "Cannot create file \"path\". reason".
    explicit FileWriter(const QString& path);
    ~FileWriter() = default;

    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Throws ErrorMessage "Cannot write file \"path\". reason" when the buffer is written and that fails.
    void write(std::string_view bytes);
    // Writes the rest and flushes it to disk. Throws ErrorMessage like write().
    [[nodiscard]] StagedFile finish();

private:
    void writeBuffer();

    StagedFile m_file;
    std::string m_buffer;
};

} // namespace textio
