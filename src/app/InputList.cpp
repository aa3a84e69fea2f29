#include "InputList.h"

#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

namespace app {
namespace {

void removeLines(const QTextBlock& first, const QTextBlock& last)
{
    QTextCursor cursor(first);
    // Lines go with the line break after them; the last line, which has none, with the one before it.
    if (last.next().isValid()) {
        cursor.setPosition(last.next().position(), QTextCursor::KeepAnchor);
    } else {
        cursor.movePosition(QTextCursor::PreviousCharacter);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

} // namespace

QStringList inputLines(const QPlainTextEdit& edit)
{
    QStringList lines = edit.toPlainText().split(u'\n');
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

void appendInputLines(QPlainTextEdit& edit, const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    QString added = paths.join(u'\n');
    const QString text = edit.toPlainText();
    if (!text.isEmpty() && !text.endsWith(u'\n'))
        added.prepend(u'\n');
    QTextCursor cursor(edit.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(added);
}

void removeInputLine(QPlainTextEdit& edit, int index)
{
    const QTextBlock line = edit.document()->findBlockByNumber(index);
    if (line.isValid())
        removeLines(line, line);
}

QStringList draggedLocalPaths(const QMimeData& data)
{
    const QList<QUrl> urls = data.urls();
    if (!std::ranges::all_of(urls, &QUrl::isLocalFile))
        return {};
    QStringList paths;
    for (const QUrl& url : urls)
        paths.append(url.toLocalFile());
    return paths;
}

} // namespace app
