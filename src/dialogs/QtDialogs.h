#pragma once

#include "Dialogs.h"

namespace dialogs {

// The real dialogs: message boxes, file dialogs and the print dialog.
class QtDialogs final : public Dialogs
{
public:
    void message(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    QStringList openFiles(QWidget* parent, const OpenFilesRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const SaveFileRequest& request) override;
    bool print(QWidget* parent, QPrinter& printer) override;
};

} // namespace dialogs
