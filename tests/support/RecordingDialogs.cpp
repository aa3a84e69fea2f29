#include "RecordingDialogs.h"

#include <QPrinter>
#include <QTest>

namespace {

[[noreturn]] void failUnprepared(const char* dialog)
{
    QTest::qFail(qPrintable(QStringLiteral("unexpected %1 dialog").arg(QLatin1StringView(dialog))), __FILE__, __LINE__);
    qFatal("unexpected %s dialog", dialog);
}

} // namespace

void RecordingDialogs::message(QWidget*, const QString& text)
{
    m_entries.append({Kind::Message, text});
}

void RecordingDialogs::error(QWidget*, const QString& text)
{
    m_entries.append({Kind::Error, text});
}

QStringList RecordingDialogs::openFiles(QWidget*, const dialogs::OpenFilesRequest& request)
{
    m_entries.append({Kind::OpenFiles, request.title});
    if (m_openAnswers.empty())
        failUnprepared("open-files");
    QStringList answer = m_openAnswers.front();
    m_openAnswers.pop_front();
    return answer;
}

std::optional<QString> RecordingDialogs::saveFile(QWidget*, const dialogs::SaveFileRequest& request)
{
    m_entries.append({Kind::SaveFile, request.proposedName});
    m_saveRequests.append(request);
    if (m_saveAnswers.empty())
        failUnprepared("save-file");
    std::optional<QString> answer = m_saveAnswers.front();
    m_saveAnswers.pop_front();
    return answer;
}

bool RecordingDialogs::print(QWidget*, QPrinter& printer)
{
    m_entries.append({Kind::Print, QString()});
    if (m_printAnswers.empty())
        failUnprepared("print");
    const std::optional<QString> answer = m_printAnswers.front();
    m_printAnswers.pop_front();
    if (!answer)
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*answer);
    return true;
}

QStringList RecordingDialogs::texts() const
{
    QStringList result;
    for (const Entry& entry : m_entries) {
        if (entry.kind == Kind::Message || entry.kind == Kind::Error)
            result.append(entry.text);
    }
    return result;
}

QStringList RecordingDialogs::errors() const
{
    QStringList result;
    for (const Entry& entry : m_entries) {
        if (entry.kind == Kind::Error)
            result.append(entry.text);
    }
    return result;
}

QStringList RecordingDialogs::messages() const
{
    QStringList result;
    for (const Entry& entry : m_entries) {
        if (entry.kind == Kind::Message)
            result.append(entry.text);
    }
    return result;
}

void RecordingDialogs::clear()
{
    m_entries.clear();
    m_saveRequests.clear();
}
