#include "QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace dialogs {
namespace {

QString applicationTitle()
{
    return QApplication::applicationDisplayName();
}

// The extension of a name filter such as "PNG picture (*.png)".
QString firstExtension(const QString& filter)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

// File dialogs move the current directory to the folder last chosen, so relative names follow the user.
void followChosenFolder(const QString& path)
{
    QDir::setCurrent(QFileInfo(path).absolutePath());
}

} // namespace

void QtDialogs::message(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, applicationTitle(), text);
}

void QtDialogs::error(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, applicationTitle(), text);
}

QStringList QtDialogs::openFiles(QWidget* parent, const OpenFilesRequest& request)
{
    const QStringList files = QFileDialog::getOpenFileNames(parent, request.title, QString(), request.filter);
    if (!files.isEmpty())
        followChosenFolder(files.first());
    return files;
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const SaveFileRequest& request)
{
    QFileDialog dialog(parent, request.title, QString(), QString());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, request.defaultExtension.isEmpty());
    dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.filter.isEmpty()) {
        const QStringList filters = request.filter.split(QStringLiteral(";;"));
        dialog.setNameFilters(filters);
        // The type of the proposed name is the one selected; a name typed without extension gets the selected type's.
        const QString proposedExtension = QFileInfo(request.proposedName).suffix();
        for (const QString& filter : filters) {
            if (!proposedExtension.isEmpty() &&
                filter.contains(QStringLiteral("*.") + proposedExtension, Qt::CaseInsensitive)) {
                dialog.selectNameFilter(filter);
                dialog.setDefaultSuffix(firstExtension(filter));
            }
        }
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& filter) { dialog.setDefaultSuffix(firstExtension(filter)); });
    }
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    followChosenFolder(chosen);
    return chosen;
}

bool QtDialogs::print(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace dialogs
