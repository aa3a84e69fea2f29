#pragma once

#include "textio/CodePage.h"

#include <QObject>

class QActionGroup;
class QMenu;
class QPlainTextEdit;
class QPoint;

namespace app {

// Adds to the input list's context menu a submenu that chooses the code page of input files without a
// byte-order mark that are not UTF-8. The choice holds until the program ends; it starts at automatic.
class CodePageMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CodePageMenu)

public:
    explicit CodePageMenu(QPlainTextEdit& inputList);

    const textio::CodePage& codePage() const { return m_codePage; }

private:
    void addChoice(const QString& text, const textio::CodePage& codePage);
    void choose(const textio::CodePage& codePage);
    void showContextMenu(const QPoint& position);

    QPlainTextEdit& m_inputList;
    // Made once and kept, so it shows the choice made last.
    QMenu* m_codePages = nullptr;
    QActionGroup* m_choices = nullptr;
    textio::CodePage m_codePage;
};

} // namespace app
