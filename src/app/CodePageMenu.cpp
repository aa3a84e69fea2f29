#include "CodePageMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

namespace app {

CodePageMenu::CodePageMenu(QPlainTextEdit& inputList)
    : QObject(&inputList),
      m_inputList(inputList),
      m_codePages(new QMenu(&inputList)),
      m_choices(new QActionGroup(this))
{
    m_codePages->setObjectName(u"CodePageMenu"_s);
    addChoice(u"&Automatic"_s, {});
    m_codePages->addSeparator();
    QString script;
    for (const textio::OfferedCodePage& offered : textio::offeredCodePages()) {
        if (!script.isEmpty() && offered.script != script)
            m_codePages->addSeparator();
        script = offered.script;
        addChoice(u"%1 (%2)"_s.arg(offered.script, offered.codePage.name()), offered.codePage);
    }
    choose({});
    m_inputList.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_inputList, &QWidget::customContextMenuRequested, this, &CodePageMenu::showContextMenu);
}

void CodePageMenu::addChoice(const QString& text, const textio::CodePage& codePage)
{
    QAction* choice = m_codePages->addAction(text);
    choice->setCheckable(true);
    choice->setChecked(codePage == m_codePage);
    m_choices->addAction(choice);
    connect(choice, &QAction::triggered, this, [this, codePage] { choose(codePage); });
}

void CodePageMenu::choose(const textio::CodePage& codePage)
{
    m_codePage = codePage;
    // The title tells the choice without opening the submenu.
    m_codePages->setTitle(
        u"C&ode page of files not in UTF-8: %1"_s.arg(codePage.isAutomatic() ? u"automatic"_s : codePage.name()));
}

void CodePageMenu::showContextMenu(const QPoint& position)
{
    // The list's own entries (undo, cut, paste, select all) stay; the menu is made anew for each showing, as
    // they depend on the selection.
    QMenu* menu = m_inputList.createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addMenu(m_codePages);
    // A scroll area reports the position in its viewport.
    menu->popup(m_inputList.viewport()->mapToGlobal(position));
}

} // namespace app
