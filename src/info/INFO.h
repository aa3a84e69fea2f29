#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace dialogs {
class Dialogs;
}

namespace info {

// The terms of use or the user documentation. Closing only hides the window, so it keeps the page last chosen.
class TfrmInfo final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmInfo)

public:
    explicit TfrmInfo(dialogs::Dialogs& dialogs, QWidget* parent = nullptr);

    QPlainTextEdit* terms = nullptr;
    QPlainTextEdit* Doc = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* BtnClose = nullptr;

private:
    void createControls();
    void createLayout();
    void connectHandlers();

    void Button2Click();
    void BtnCloseClick();

    dialogs::Dialogs& m_dialogs;
};

} // namespace info
