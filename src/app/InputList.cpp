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

bool removeSelectedLines(QPlainTextEdit& edit)
{
    const QTextCursor selection = edit.textCursor();
    if (!selection.hasSelection())
        return false;
    const QTextDocument& document = *edit.document();
    const QTextBlock first = document.findBlock(selection.selectionStart());
    QTextBlock last = document.findBlock(selection.selectionEnd());
    // A selection that ends where a line begins takes nothing of that line.
    if (last != first && selection.selectionEnd() == last.position())
        last = last.previous();
    const bool takesWholeLine = selection.selectionStart() == first.position() &&
                                selection.selectionEnd() >= last.position() + last.length() - 1;
    if (first == last && !takesWholeLine)
        return false;
    removeLines(first, last);
    return true;
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
