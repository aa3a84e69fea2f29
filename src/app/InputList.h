#pragma once

#include <QStringList>

class QMimeData;
class QPlainTextEdit;

namespace app {

// The input file list is the edit's text, one path per line. A line break at the very end does not start
// another line, and an empty text holds no lines at all.
QStringList inputLines(const QPlainTextEdit& edit);
// Adds each path as a line of its own after the existing ones.
void appendInputLines(QPlainTextEdit& edit, const QStringList& paths);
void removeInputLine(QPlainTextEdit& edit, int index);
// Removes every line the selection touches when it takes a whole line or spans a line break, and returns
// whether it did; a selection inside one line is left to ordinary editing.
bool removeSelectedLines(QPlainTextEdit& edit);

// The paths of the files a drag brings; none when it brings anything but local files, a web address say.
QStringList draggedLocalPaths(const QMimeData& data);

} // namespace app
