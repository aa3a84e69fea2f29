#pragma once

#include "dialogs/Dialogs.h"

#include <QString>
#include <QWidget>

#include <initializer_list>
#include <optional>

class QComboBox;
class QLayout;
class QPushButton;
class QShowEvent;

namespace charts {

class ChartView;

// What both chart windows share: the chart `Graf` above the panel `Panel1` with the scale list `Scale` and the
// buttons "Save", "Print" and "Copy", and a load each time the window passes from hidden to shown. Closing the
// window only hides it.
class ChartWindow : public QWidget
{
    Q_OBJECT

public:
    Q_DISABLE_COPY_MOVE(ChartWindow)

    ChartView* Graf = nullptr;
    QWidget* Panel1 = nullptr;
    QComboBox* Scale = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    // Copies the chart as displayed to the clipboard; Ctrl+C does the same.
    QPushButton* BtCopy = nullptr;

protected:
    struct Titles
    {
        QString chart;
        QString bottomAxis;
        QString leftAxis;
    };

    ChartWindow(dialogs::Dialogs& dialogs, QWidget* parent, const QString& name, const QString& caption,
                const Titles& titles);

    QPushButton* createButton(const QString& text, const QString& name, int width);
    // Puts `chartArea` above the panel, whose controls run from left to right: `leading`, the scale list, "Save",
    // "Print", `trailing`, "Copy".
    void layOut(QLayout* chartArea, int panelHeight, std::initializer_list<QWidget*> leading,
                std::initializer_list<QWidget*> trailing);

    void showEvent(QShowEvent* event) override;
    // Reads the window's files as showing the window does; a failure ends the load and shows the error box.
    void load();
    virtual void FormShow() = 0;

    // Sets the axes to the scale chosen in `Scale` and redraws; an item a window adds after the four scales both
    // charts share draws on linear axes.
    virtual void ScaleChange();

    // Runs the save dialog with the picture types, writes the chart and tells the user where it went. Nullopt
    // when the user cancels.
    std::optional<QString> saveChart(const QString& proposedName);

    dialogs::Dialogs& m_dialogs;

private:
    void Button2Click();
    void BtCopyClick();
};

} // namespace charts
