#include "OutputFiles.h"

#include "textio/ErrorMessage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace run {
namespace {

struct Node
{
    dev_t device = 0;
    ino_t inode = 0;
    bool replaceable = true; // a regular file; a device or a pipe is written in place and never replaced

    bool operator==(const Node& other) const { return device == other.device && inode == other.inode; }
};

std::optional<Node> nodeOf(const QString& path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return Node{status.st_dev, status.st_ino, S_ISREG(status.st_mode)};
}

// Where a file yet to be made will be: its folder with links resolved, and its name. A dangling link is
// written through, so it stands for the file it names.
QString plannedPath(const QString& path)
{
    QFileInfo file(path);
    if (file.isSymLink())
        file.setFile(file.symLinkTarget());
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? QDir::cleanPath(file.absolutePath()) : folder) + u'/' + file.fileName();
}

bool sameOutput(const QString& a, const QString& b)
{
    const std::optional<Node> nodeA = nodeOf(a);
    const std::optional<Node> nodeB = nodeOf(b);
    // A device takes whatever is written to it and keeps nothing to lose: /dev/null may take every output.
    if (nodeA && nodeB)
        return *nodeA == *nodeB && nodeA->replaceable;
    return !nodeA && !nodeB && plannedPath(a) == plannedPath(b);
}

[[noreturn]] void refuse(const QString& output, const char* reason)
{
    throw textio::ErrorMessage(QStringLiteral("Cannot create file \"%1\". %2").arg(output, QLatin1StringView(reason)));
}

} // namespace

void checkOutputFiles(const QStringList& outputs, const QStringList& inputs)
{
    for (qsizetype i = 0; i < outputs.size(); ++i) {
        const QString& output = outputs[i];
        if (const std::optional<Node> node = nodeOf(output)) {
            for (const QString& input : inputs) {
                if (!input.isEmpty() && nodeOf(input) == node)
                    refuse(output, "It is an input file of this run.");
            }
        }
        for (qsizetype j = 0; j < i; ++j) {
            if (sameOutput(outputs[j], output))
                refuse(output, "It is another output file of this run.");
        }
    }
}

void removeStaleFile(const QString& path, const QStringList& kept)
{
    const std::optional<Node> node = nodeOf(path);
    if (!node || !node->replaceable)
        return;
    for (const QString& file : kept) {
        if (!file.isEmpty() && nodeOf(file) == node)
            return;
    }
    // A link goes, not the file it names: that may be anything of the user's.
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
        return;
    const int error = errno;
    throw textio::ErrorMessage(QStringLiteral("Cannot remove file \"%1\". %2").arg(path, textio::systemReason(error)));
}

} // namespace run
