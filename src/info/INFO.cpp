#include "INFO.h"

#include "dialogs/Dialogs.h"
#include "info/InfoPages.h"

#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace info {
namespace {

QPlainTextEdit* createPage(QWidget* parent, const QString& name, const QString& text)
{
    auto* page = new QPlainTextEdit(parent);
    page->setObjectName(name);
    page->setReadOnly(true);
    page->setPlainText(text);
    return page;
}

QPushButton* createButton(QWidget* parent, const QString& name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

TfrmInfo::TfrmInfo(dialogs::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      m_dialogs(dialogs)
{
    setObjectName(u"frmInfo"_s);
    setWindowTitle(u"Info"_s);
    createControls();
    createLayout();
    connectHandlers();
    resize(537, 542);
}

void TfrmInfo::createControls()
{
    terms = createPage(this, u"terms"_s, termsPage());
    Doc = createPage(this, u"Doc"_s, documentationPage());
    Doc->hide();
    Button2 = createButton(this, u"Button2"_s, u"Documentation"_s);
    BtnClose = createButton(this, u"BtnClose"_s, u"Close"_s);
}

void TfrmInfo::createLayout()
{
    // Both pages share one cell; the documentation lies over the terms while it is shown.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->addWidget(terms, 0, 0, 1, 3);
    grid->addWidget(Doc, 0, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->addWidget(Button2, 1, 1);
    grid->addWidget(BtnClose, 1, 2);
    Doc->raise();
}

void TfrmInfo::connectHandlers()
{
    dialogs::connectGuarded(m_dialogs, Button2, &QAbstractButton::clicked, this, &TfrmInfo::Button2Click);
    dialogs::connectGuarded(m_dialogs, BtnClose, &QAbstractButton::clicked, this, &TfrmInfo::BtnCloseClick);
}

void TfrmInfo::Button2Click()
{
    Doc->setHidden(!Doc->isHidden());
    Button2->setText(Doc->isHidden() ? u"Documentation"_s : u"Terms Of Use"_s);
}

void TfrmInfo::BtnCloseClick()
{
    hide();
}

} // namespace info
