#pragma once

#include <QStringList>

class QPlainTextEdit;

namespace app {

// The input file list is the edit's text, one path per line. A line break at the very end does not start
// another line, and an empty text holds no lines at all.
QStringList inputLines(const QPlainTextEdit& edit);
// Adds each path as a line of its own after the existing ones.
void appendInputLines(QPlainTextEdit& edit, const QStringList& paths);
void removeInputLine(QPlainTextEdit& edit, int index);

} // namespace app
