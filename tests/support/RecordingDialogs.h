#pragma once

#include "dialogs/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

// Records every message and error box, and answers file and print dialogs from prepared answers. A dialog
// without a prepared answer fails the test at once instead of blocking.
class RecordingDialogs final : public dialogs::Dialogs
{
public:
    enum class Kind
    {
        Message,
        Error,
        OpenFiles,
        SaveFile,
        Print,
    };

    struct Entry
    {
        Kind kind;
        QString text; // the message, or the dialog's title / proposed name
    };

    void message(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    QStringList openFiles(QWidget* parent, const dialogs::OpenFilesRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const dialogs::SaveFileRequest& request) override;
    bool print(QWidget* parent, QPrinter& printer) override;

    // Prepared answers, used in order. An empty list / nullopt / false means the user cancels.
    void answerOpenFiles(const QStringList& files) { m_openAnswers.push_back(files); }
    void answerSaveFile(const std::optional<QString>& file) { m_saveAnswers.push_back(file); }
    // A confirmed print dialog prints to this PDF file.
    void answerPrint(const std::optional<QString>& pdfFile) { m_printAnswers.push_back(pdfFile); }

    const QList<Entry>& entries() const { return m_entries; }
    // The texts of the message and error boxes, in order.
    QStringList texts() const;
    QStringList errors() const;
    QStringList messages() const;
    const QList<dialogs::SaveFileRequest>& saveRequests() const { return m_saveRequests; }
    void clear();

private:
    QList<Entry> m_entries;
    QList<dialogs::SaveFileRequest> m_saveRequests;
    std::deque<QStringList> m_openAnswers;
    std::deque<std::optional<QString>> m_saveAnswers;
    std::deque<std::optional<QString>> m_printAnswers;
};
