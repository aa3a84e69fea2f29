#pragma once

#include "textio/CodePage.h"

#include <QString>
#include <QStringList>

namespace run {

// What a run reads from the main window (or the command line) at the moment a step needs it, and the
// ways it talks to the user.
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
    // Decodes input files, and a concordance the model reads, that have no byte-order mark and are not Unicode.
    virtual textio::CodePage codePage() const = 0;
    virtual QString measuredFileName() const = 0;
    virtual QString modelFileName() const = 0;
    virtual QString concordanceFileName() const = 0;

    virtual QStringList inputLines() const = 0;
    // The user sees an empty line of the input list disappear.
    virtual void removeInputLine(int index) = 0;

    // A modal message; the run goes on when the user has read it.
    virtual void showMessage(const QString& text) = 0;
    // A note that neither stops nor holds up the run.
    virtual void warn(const QString& text) = 0;
};

enum class RunEnd
{
    Done,             // "Done!" with every output asked for
    DoneWithoutModel, // "Done!", but the model was asked for and had no concordance file to come from
    Stopped,          // ended by a message before "Done!"
};

// The largest number of frequency classes a run counts: every class costs each row of the measured and the model
// file a column, and memory for the longest row before the first token is read.
inline constexpr quint32 maxFrequencyClasses = 1'000'000;

// The run of "Go!", start to end. Its outputs are written to temporary files and put in place together just
// before "Done!", so a run that ends early leaves every older output as it was. Failures throw
// textio::ErrorMessage.
RunEnd runSequence(RunHost& host);

} // namespace run
