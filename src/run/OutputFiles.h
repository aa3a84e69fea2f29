#pragma once

#include <QStringList>

namespace run {

// Refuses, before anything is written, an output that is the same file as one of the run's inputs or as an
// earlier output of the run: writing it would destroy the input before or while it is read, or the earlier
// output. Existing files are told apart by device and inode, which sees through hard links, symbolic links and
// bind mounts; names of files yet to be made, by their folder and name. Throws textio::ErrorMessage
// "Cannot create file \"output\". It is an input file of this run." or "... It is another output file of this run."
void checkOutputFiles(const QStringList& outputs, const QStringList& inputs);

// Removes the file `path` names, unless it is none or is one of `kept` under any name: a file that only stood
// beside an older output, and would be read as belonging to the new one. A device or a folder stays. Throws
// textio::ErrorMessage "Cannot remove file \"path\". reason".
void removeStaleFile(const QString& path, const QStringList& kept);

} // namespace run
