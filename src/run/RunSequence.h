#pragma once

#include "measure/CurveFileHeader.h"
#include "textio/CodePage.h"

#include <QString>
#include <QStringList>

#include <stop_token>

namespace run {

// Everything a run is told, taken from the main window or the command line when it starts: the run never looks
// back at where it came from.
struct RunSettings
{
    QStringList inputLines; // the input list, one line each, empty lines included
    int inputFormat = 0;    // index of the input-format list
    // Decodes input files, and a concordance the model reads, that have no byte-order mark and are not Unicode.
    textio::CodePage codePage;
    measure::CurveSettings curves;
    bool measure = true;
    bool model = true;
    // The model's standard deviations in the companion file beside it (model::deviationFilePath). Without them, an
    // older companion file goes when the new model takes its place: it would be read as the new model's.
    bool deviations = true;
    bool concordance = true;
    QString measuredFile = QStringLiteral("M.txt");
    QString modelFile = QStringLiteral("C.txt");
    QString concordanceFile = QStringLiteral("Concordance.txt");
};

// The largest number of frequency classes a run counts: every class costs each row of the measured and the model
// file a column, and memory for the longest row before the first token is read.
inline constexpr quint32 maxFrequencyClasses = 1'000'000;

// The curve settings from the texts of the class range and the density, as the window's validations leave them.
// Throws textio::ErrorMessage for a text that is still out of range ("-2147483648" becomes "2147483648") and for
// more than maxFrequencyClasses classes.
measure::CurveSettings curveSettings(bool ttr, const QString& fromText, const QString& toText,
                                     const QString& densityText);

// How far a run has come, many times a second.
struct Progress
{
    enum class Phase
    {
        Reading,     // the measurement pass
        Concordance, // sorting and writing the concordance
        Model,       // the model step
        Deviations,  // the model's standard deviations
    };
    Phase phase = Phase::Reading;
    qsizetype file = 0; // while reading: the file read, counted from 0
    qsizetype files = 0;
    QString fileName;
    quint64 tokens = 0; // counted so far
    quint64 types = 0;  // for the concordance
    quint64 row = 0;    // model or deviation rows computed
    quint64 rows = 0;
    double done = 0; // the share of the phase done, from 0 to 1: bytes read, keys and lines, rows
};

// "Reading 2 of 40, bible.txt: 1,234,567 tokens", "Sorting the concordance of 12,345 types", "Model of 1,234,567
// tokens: row 12 of 123,456", "Standard deviations of 1,234,567 tokens: row 12 of 123,456", with the digits grouped
// as the locale groups them.
QString progressText(const Progress& progress);

// What the user is told while a run goes on.
class RunReport
{
public:
    virtual ~RunReport() = default;

    // A modal message; the run goes on when the user has read it.
    virtual void showMessage(const QString& text) = 0;
    // A note that neither stops nor holds up the run.
    virtual void warn(const QString& text) = 0;
    // The run works on its own copy of the input list; the user sees its empty line `index` disappear from theirs.
    virtual void removeInputLine(int index) = 0;
    // Comes often (after every 64 KiB read): it must take little time.
    virtual void progress(const Progress& progress) = 0;
};

enum class RunEnd
{
    Done,             // "Done!" with every output asked for
    DoneWithoutModel, // "Done!", but the model was asked for and had no concordance file to come from
    Stopped,          // ended by a message before "Done!"
    Cancelled,        // the stop token asked for it
};

// The run of "Go!", start to end. Its outputs are written to temporary files and put in place together just
// before "Done!", so a run that ends early, also when it is cancelled, leaves every older output as it was and no
// temporary file. A model put in place without its standard deviations takes an older companion file away. A stop is
// heard within some 20 ms of one core's work in every step. Failures throw textio::ErrorMessage.
RunEnd runSequence(const RunSettings& settings, RunReport& report, std::stop_token stop = {});

// The files a run with these settings writes, in the order it writes them; after DoneWithoutModel, no model file
// and no companion file.
QStringList outputFiles(const RunSettings& settings, RunEnd end = RunEnd::Done);

// What the user is told of a cancelled run.
QString cancelledText();

} // namespace run
