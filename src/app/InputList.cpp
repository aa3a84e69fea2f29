#include "InputList.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace app {

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
    if (!line.isValid())
        return;
    QTextCursor cursor(line);
    // A line goes with the line break after it; the last line, which has none, with the one before it.
    if (line.next().isValid()) {
        cursor.setPosition(line.next().position(), QTextCursor::KeepAnchor);
    } else {
        cursor.movePosition(QTextCursor::PreviousCharacter);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

} // namespace app
