#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace textio {

// Writes a file through a buffer. The destructor writes what is left and closes without a word, so what a run
// wrote before it ended early stays on disk; finish() does the same and reports a failure.
class FileWriter
{
public:
    // Creates or truncates the file. Throws ErrorMessage "Cannot create file \"path\". reason".
    explicit FileWriter(const QString& path);
    ~FileWriter();

    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Throws ErrorMessage "Cannot write file \"path\". reason" when the buffer is written and that fails.
    void write(std::string_view bytes);
    // Writes the rest and closes. Throws ErrorMessage like write().
    void finish();

private:
    // The errno of a failed write, 0 on success. The buffer is empty afterwards either way.
    int writeBuffer();

    QString m_path;
    int m_descriptor = -1;
    std::string m_buffer;
};

} // namespace textio
