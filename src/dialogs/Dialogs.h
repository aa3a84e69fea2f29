#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace dialogs {

struct OpenFilesRequest
{
    QString title;
    QString filter; // empty: all files
};

struct SaveFileRequest
{
    QString title;
    QString proposedName;     // empty: the dialog starts empty, or with the path chosen last
    QString defaultExtension; // without the dot; empty: none
    QString filter = {};      // name filters separated by ";;"; empty: all files
};

// Everything a window asks of the user or tells them goes through here, so tests see every message and
// answer every dialog.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A modal message box.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // The error box that reports a failed action; the program goes on.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // Empty when the user cancels.
    virtual QStringList openFiles(QWidget* parent, const OpenFilesRequest& request) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const SaveFileRequest& request) = 0;
    // Runs the print dialog on `printer`; true when the user confirms.
    virtual bool print(QWidget* parent, QPrinter& printer) = 0;
};

// Runs a handler the way the application's default handler would: a failure it throws ends the handler
// and shows its text in the error box. No exception may leave a Qt slot.
void runGuarded(Dialogs& dialogs, QWidget* parent, const std::function<void()>& handler);

// Connects `signal` to a handler of `window` that runs through runGuarded. The handler takes the signal's
// arguments or none.
template <typename Sender, typename Signal, typename Window, typename... Arguments>
void connectGuarded(Dialogs& dialogs, Sender* sender, Signal signal, Window* window,
                    void (Window::*handler)(Arguments...))
{
    QObject::connect(sender, signal, window, [&dialogs, window, handler](Arguments... arguments) {
        runGuarded(dialogs, window, [&] { (window->*handler)(arguments...); });
    });
}

} // namespace dialogs
