#pragma once

#include <QString>
#include <QStringList>

namespace run {

// What a run reads from the main window (or the command line) at the moment a step needs it, and the
// one way it talks to the user.
class RunHost
{
public:
    virtual ~RunHost() = default;

    virtual QString freqFromText() const = 0;
    virtual QString freqToText() const = 0;
    virtual QString densityText() const = 0;
    virtual bool ttrChecked() const = 0;
    virtual bool measureChecked() const = 0;
    virtual bool modelChecked() const = 0;
    virtual bool concordanceChecked() const = 0;
    virtual int inputFormat() const = 0; // index of the input-format list
    virtual QString measuredFileName() const = 0;
    virtual QString modelFileName() const = 0;
    virtual QString concordanceFileName() const = 0;

    virtual QStringList inputLines() const = 0;
    // The user sees an empty line of the input list disappear.
    virtual void removeInputLine(int index) = 0;

    // A modal message; the run goes on when the user has read it.
    virtual void showMessage(const QString& text) = 0;
};

// The run of "Go!", start to end. Returns true when it ended with "Done!". Platform failures throw
// textio::ErrorMessage; files already written stay.
bool runSequence(RunHost& host);

} // namespace run
