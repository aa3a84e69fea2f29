#pragma once

#include "dialogs/Dialogs.h"

#include <QObject>
#include <QString>

#include <optional>

class QComboBox;
class QWidget;

namespace charts {

class ChartView;

// The orange bold title and orange axis titles of both chart windows.
void setUpTitles(ChartView& chart, const QString& title, const QString& bottomAxis, const QString& leftAxis);

// "Normal scale", "x log scale", "y log scale", "log-log scale"; the first one selected.
void addScaleItems(QComboBox& scale);
// Sets the axes from the item of `addScaleItems` at `index`; -1 (nothing selected) changes nothing.
void applyScale(ChartView& chart, int index);

// Runs the save dialog, writes the chart and tells the user where it went. Nullopt when the user cancels.
std::optional<QString> saveChart(ChartView& chart, dialogs::Dialogs& dialogs, QWidget* parent,
                                 const QString& proposedName);
void printChart(ChartView& chart, dialogs::Dialogs& dialogs, QWidget* parent);

// Connects `signal` to a handler of `window` that runs the way the application's default handler would:
// a failure ends the handler and shows the error box.
template <typename Sender, typename Signal, typename Window>
void connectGuarded(dialogs::Dialogs& dialogs, Sender* sender, Signal signal, Window* window, void (Window::*handler)())
{
    QObject::connect(sender, signal, window, [&dialogs, window, handler] {
        dialogs::runGuarded(dialogs, window, [window, handler] { (window->*handler)(); });
    });
}

} // namespace charts
