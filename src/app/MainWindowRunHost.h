#pragma once

#include "run/RunSequence.h"

namespace dialogs {
class Dialogs;
}

namespace app {

class THlavni;

// A run reads the main window's controls at the moment each step needs them.
class MainWindowRunHost final : public run::RunHost
{
public:
    MainWindowRunHost(THlavni& window, dialogs::Dialogs& dialogs);

    QString freqFromText() const override;
    QString freqToText() const override;
    QString densityText() const override;
    bool ttrChecked() const override;
    bool measureChecked() const override;
    bool modelChecked() const override;
    bool concordanceChecked() const override;
    int inputFormat() const override;
    textio::CodePage codePage() const override;
    QString measuredFileName() const override;
    QString modelFileName() const override;
    QString concordanceFileName() const override;
    QStringList inputLines() const override;
    void removeInputLine(int index) override;
    void showMessage(const QString& text) override;
    void warn(const QString& text) override;

private:
    THlavni& m_window;
    dialogs::Dialogs& m_dialogs;
};

} // namespace app
