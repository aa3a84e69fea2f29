#include "run/RunSequence.h"

#include "textio/ErrorMessage.h"

#include "QtPrinting.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <functional>
#include <map>
#include <stop_token>
#include <vector>
#include <unistd.h>

namespace {

using namespace Qt::Literals::StringLiterals;

// What the user would see of a run.
struct RecordingReport final : run::RunReport
{
    void showMessage(const QString& text) override { messages.append(text); }
    void warn(const QString& text) override { warnings.append(text); }
    void removeInputLine(int index) override { removedLines.append(index); }
    void progress(const run::Progress& progress) override
    {
        progresses.push_back(progress);
        if (onProgress)
            onProgress(progress);
    }

    QStringList messages;
    QStringList warnings;
    QList<int> removedLines;
    std::vector<run::Progress> progresses;
    std::function<void(const run::Progress&)> onProgress;
};

// The window's defaults with these input lines.
run::RunSettings settingsFor(const QStringList& lines)
{
    run::RunSettings settings;
    settings.inputLines = lines;
    return settings;
}

measure::CurveSettings curves(const QString& from, const QString& to, const QString& density)
{
    return run::curveSettings(true, from, to, density);
}

using run::RunEnd;

const QByteArray concordanceHeader = utf8Bom + "Type\tFrequency\r\n";

QString runError(const run::RunSettings& settings, RecordingReport& report)
{
    try {
        run::runSequence(settings, report);
    } catch (const textio::ErrorMessage& error) {
        return error.text();
    }
    return {};
}

TEST(RunSequence, MeasuresModelsAndSavesTheConcordance)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"text.txt"_s, "a b a\r\nc a");
    run::RunSettings settings = settingsFor({u"text.txt"_s});
    settings.curves = curves(u"1"_s, u"3"_s, u"2"_s);
    RecordingReport report;

    EXPECT_EQ(run::runSequence(settings, report), RunEnd::Done);
    EXPECT_EQ(report.messages, QStringList{u"Done!"_s});
    EXPECT_EQ(readTestFile(u"M.txt"_s), "2\r\nTTR\tT1TR\tT2TR\tT3TR\t\r\n2\t2\t0\t0\t\r\n3\t2\t1\t0\t\r\n");
    EXPECT_EQ(readTestFile(u"C.txt"_s),
              "2\r\nTTR\tT1TR\tT2TR\tT3TR\t\r\n1.700\t1.400\t0.300\t0.000\t\r\n2.600\t1.600\t0.600\t0.400\t\r\n");
    EXPECT_EQ(readTestFile(u"C.sd.txt"_s),
              "2\r\nTTR\tT1TR\tT2TR\tT3TR\t\r\n0.458\t0.917\t0.458\t0.000\t\r\n0.490\t0.490\t0.490\t0.490\t\r\n");
    EXPECT_EQ(readTestFile(u"Concordance.txt"_s), concordanceHeader + "a\t3\r\nb\t1\r\nc\t1\r\n");
    EXPECT_EQ(readTestFile(u"text.txt"_s), "a b a\r\nc a");
}

TEST(RunSequence, AsksForInputFilesWhenTheListHoldsNoText)
{
    const ScopedTemporaryWorkingDirectory folder;
    RecordingReport report;
    EXPECT_EQ(run::runSequence(settingsFor({}), report), RunEnd::Stopped);
    EXPECT_EQ(report.messages, QStringList{u"Use the \"Load input files\" button to determine input files."_s});
    EXPECT_TRUE(QDir().isEmpty()) << "something was written";
}

// A list of one line break is not "no text": its one empty line is removed and the run goes on.
TEST(RunSequence, RemovesEmptyLinesAndReadsNothingWhenNoOtherLineIsLeft)
{
    for (const QStringList& lines : {QStringList{u""_s}, QStringList{u""_s, u""_s}}) {
        const ScopedTemporaryWorkingDirectory folder;
        RecordingReport report;
        EXPECT_EQ(run::runSequence(settingsFor(lines), report), RunEnd::Done);
        EXPECT_EQ(report.removedLines, QList<int>(lines.size(), 0));
        EXPECT_EQ(report.messages, QStringList{u"Done!"_s});
        EXPECT_EQ(readTestFile(u"Concordance.txt"_s), concordanceHeader);
        EXPECT_EQ(readTestFile(u"C.txt"_s), "10\r\nTTR\tT1TR\tT2TR\tT3TR\tT4TR\t\r\n");
    }
}

// A missing file ends the run before any token is counted: no concordance, no model, no "Done!", and the
// measured file of an earlier run stays as it was.
TEST(RunSequence, EndsAtAMissingInputFile)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"a.txt"_s, "word");
    writeTestFile(u"M.txt"_s, "older");
    RecordingReport report;
    EXPECT_EQ(run::runSequence(settingsFor({u"a.txt"_s, u""_s, u"missing.txt"_s, u" "_s}), report), RunEnd::Stopped);
    EXPECT_EQ(report.removedLines, QList<int>{1});
    EXPECT_EQ(report.messages,
              QStringList{u"The file \"missing.txt\" does not exist! The procedure will be terminated."_s});
    EXPECT_EQ(readTestFile(u"M.txt"_s), "older");
    EXPECT_EQ(QDir().entryList(QDir::Files | QDir::Hidden), (QStringList{u"a.txt"_s, u"M.txt"_s}));
}

// The texts of the fields come to the run as the window's validations leave them; what is still out of range
// ends the run before anything is done.
TEST(CurveSettings, RefusesWhatTheFieldsLeaveOutOfRange)
{
    const std::pair<std::function<void()>, QString> cases[] = {
        {[] { curves(u"1"_s, u"4"_s, u"2147483648"_s); }, u"''2147483648'' is not a valid integer value"_s},
        {[] { curves(u"1"_s, u"2147483647"_s, u"10"_s); },
         u"Cannot count the frequency classes from 1 to 2147483647: a run counts at most 1000000 classes."_s},
    };
    for (const auto& [make, message] : cases) {
        try {
            make();
            ADD_FAILURE() << "no error for " << message.toStdString();
        } catch (const textio::ErrorMessage& error) {
            EXPECT_EQ(error.text(), message);
        }
    }
}

// A failure in any step leaves every output of an earlier run as it was: the outputs of a run are put in place
// together at its end.
TEST(RunSequence, ReportsFailuresAndKeepsTheOlderOutputs)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"a.txt"_s, "word");
    for (const QString& output : {u"M.txt"_s, u"C.txt"_s, u"Concordance.txt"_s})
        writeTestFile(output, "older");
    QDir().mkdir(u"folder"_s);
    const std::pair<std::function<void(run::RunSettings&)>, QString> cases[] = {
        {[](run::RunSettings& settings) { settings.inputLines.append(u"folder"_s); },
         u"Cannot open file \"folder\". Is a directory"_s},
        {[](run::RunSettings& settings) { settings.measuredFile = u"out/M.txt"_s; },
         u"Cannot create file \"out/M.txt\". No such file or directory"_s},
        {[](run::RunSettings& settings) { settings.concordanceFile = u"out/K.txt"_s; },
         u"Cannot create file \"out/K.txt\". No such file or directory"_s},
        {[](run::RunSettings& settings) { settings.modelFile = u"out/C.txt"_s; },
         u"Cannot create file \"out/C.txt\". No such file or directory"_s},
    };
    for (const auto& [prepare, message] : cases) {
        run::RunSettings settings = settingsFor({u"a.txt"_s});
        prepare(settings);
        RecordingReport report;
        EXPECT_EQ(runError(settings, report), message);
        EXPECT_EQ(report.messages, QStringList{});
    }
    EXPECT_EQ(readTestFile(u"a.txt"_s), "word");
    for (const QString& output : {u"M.txt"_s, u"C.txt"_s, u"Concordance.txt"_s})
        EXPECT_EQ(readTestFile(output), "older") << output.toStdString();
    EXPECT_EQ(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 5);
}

// A stop heard in any step ends the run without a message, with every older output as it was and no temporary
// file; the steps after it are never begun.
TEST(RunSequence, CancelledInAnyStepChangesNothing)
{
    using Phase = run::Progress::Phase;
    const QString bible = QStringLiteral(VOCABRIX_CORPORA "/en-web-bible.utf8.txt");
    const QString outputs[] = {u"M.txt"_s, u"C.txt"_s, u"C.sd.txt"_s, u"Concordance.txt"_s};
    for (const Phase phase : {Phase::Reading, Phase::Concordance, Phase::Model, Phase::Deviations}) {
        const ScopedTemporaryWorkingDirectory folder;
        for (const QString& output : outputs)
            writeTestFile(output, "older");
        std::stop_source stop;
        RecordingReport report;
        report.onProgress = [&](const run::Progress& progress) {
            if (progress.phase == phase)
                stop.request_stop();
        };

        EXPECT_EQ(run::runSequence(settingsFor({bible}), report, stop.get_token()), RunEnd::Cancelled);
        EXPECT_EQ(report.messages, QStringList{});
        EXPECT_EQ(report.progresses.back().phase, phase);
        for (const QString& output : outputs)
            EXPECT_EQ(readTestFile(output), "older") << output.toStdString();
        EXPECT_EQ(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4);
    }
}

// Each step's share rises to the whole, in the order of the steps; the reading counts bytes over all the files.
TEST(RunSequence, ReportsProgressRisingToTheWholeInEachStep)
{
    const ScopedTemporaryWorkingDirectory folder;
    const QString corpora = QStringLiteral(VOCABRIX_CORPORA);
    RecordingReport report;
    run::RunSettings settings = settingsFor({corpora + u"/en-austen-northanger-abbey.ascii.txt"_s,
                                             corpora + u"/en-austen-pride-and-prejudice.ascii.txt"_s});
    settings.curves = curves(u"1"_s, u"4"_s, u"1"_s);
    ASSERT_EQ(run::runSequence(settings, report), RunEnd::Done);

    std::map<run::Progress::Phase, double> last;
    run::Progress previous;
    for (const run::Progress& progress : report.progresses) {
        EXPECT_GE(progress.phase, previous.phase);
        if (progress.phase == previous.phase) {
            EXPECT_GE(progress.done, previous.done);
            EXPECT_GE(progress.tokens, previous.tokens);
        }
        last[progress.phase] = progress.done;
        previous = progress;
    }
    EXPECT_EQ(last, (std::map<run::Progress::Phase, double>{
                        {run::Progress::Phase::Reading, 1.0},
                        {run::Progress::Phase::Concordance, 1.0},
                        {run::Progress::Phase::Model, 1.0},
                        {run::Progress::Phase::Deviations, 1.0},
                    }));
    // The first file holds 433,411 of the 1,118,179 bytes.
    const auto secondFile = std::find_if(report.progresses.begin(), report.progresses.end(),
                                         [](const run::Progress& progress) { return progress.file == 1; });
    ASSERT_NE(secondFile, report.progresses.end());
    EXPECT_NEAR(std::prev(secondFile)->done, 433411.0 / 1118179.0, 1e-9);
    EXPECT_TRUE(
        run::progressText(*secondFile).startsWith(u"Reading 2 of 2, en-austen-pride-and-prejudice.ascii.txt: "_s));
    EXPECT_EQ(previous.rows, previous.tokens);
    EXPECT_EQ(run::progressText(previous),
              u"Standard deviations of %1 tokens: row %1 of %1"_s.arg(QLocale().toString(previous.rows)));
}

// An output that is one of the inputs, under any name, would destroy it before or while it is read; two outputs
// that are one file would leave only the later one. The run refuses before it writes anything.
TEST(RunSequence, NeverWritesOverItsInputFilesOrOneOutputOverAnother)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"a.txt"_s, "word");
    QDir().mkdir(u"sub"_s);
    QFile::link(u"a.txt"_s, u"symbolic.txt"_s);
    ASSERT_EQ(::link("a.txt", "hard.txt"), 0);
    const auto modelIsConcordance = [](run::RunSettings& settings) {
        settings.measure = false;
        settings.concordanceFile = u"a.txt"_s;
        settings.modelFile = u"hard.txt"_s;
    };
    const std::pair<std::function<void(run::RunSettings&)>, QString> cases[] = {
        {[](run::RunSettings& settings) { settings.measuredFile = u"./a.txt"_s; },
         u"Cannot create file \"./a.txt\". It is an input file of this run."_s},
        {[](run::RunSettings& settings) { settings.concordanceFile = u"sub/../a.txt"_s; },
         u"Cannot create file \"sub/../a.txt\". It is an input file of this run."_s},
        {[](run::RunSettings& settings) { settings.modelFile = u"a.txt"_s; },
         u"Cannot create file \"a.txt\". It is an input file of this run."_s},
        {modelIsConcordance, u"Cannot create file \"hard.txt\". It is an input file of this run."_s},
        {[](run::RunSettings& settings) { settings.modelFile = u"symbolic.txt"_s; },
         u"Cannot create file \"symbolic.txt\". It is an input file of this run."_s},
        {[](run::RunSettings& settings) { settings.concordanceFile = u"sub/../M.txt"_s; },
         u"Cannot create file \"sub/../M.txt\". It is another output file of this run."_s},
        {[](run::RunSettings& settings) {
             writeTestFile(u"C.sd.txt"_s, "word");
             settings.inputLines = {u"C.sd.txt"_s};
         },
         u"Cannot create file \"C.sd.txt\". It is an input file of this run."_s},
        {[](run::RunSettings& settings) { settings.measuredFile = u"C.sd.txt"_s; },
         u"Cannot create file \"C.sd.txt\". It is another output file of this run."_s},
    };
    for (const auto& [prepare, message] : cases) {
        run::RunSettings settings = settingsFor({u"a.txt"_s});
        prepare(settings);
        RecordingReport report;
        EXPECT_EQ(runError(settings, report), message);
        EXPECT_EQ(readTestFile(u"a.txt"_s), "word");
        EXPECT_FALSE(QFileInfo::exists(u"M.txt"_s));
    }
}

// A model put in place without its standard deviations takes the older companion file away, which would be read
// as the new model's; a file of that name that is no companion of an older model stays.
TEST(RunSequence, WithoutDeviationsTakesTheOlderCompanionAwayWithTheNewModel)
{
    const std::pair<std::function<void(run::RunSettings&)>, bool> cases[] = {
        {[](run::RunSettings&) {}, false},
        {[](run::RunSettings& settings) { settings.inputLines = {u"C.sd.txt"_s}; }, true},
        {[](run::RunSettings& settings) { settings.measuredFile = u"C.sd.txt"_s; }, true},
        {[](run::RunSettings& settings) { settings.model = false; }, true},
        {[](run::RunSettings& settings) { settings.concordance = false; }, true},
    };
    for (const auto& [prepare, kept] : cases) {
        const ScopedTemporaryWorkingDirectory folder;
        writeTestFile(u"a.txt"_s, "a b");
        writeTestFile(u"C.sd.txt"_s, "older");
        run::RunSettings settings = settingsFor({u"a.txt"_s});
        settings.deviations = false;
        prepare(settings);
        RecordingReport report;
        run::runSequence(settings, report);
        EXPECT_EQ(report.messages.constLast(), u"Done!"_s);
        EXPECT_EQ(QFileInfo::exists(u"C.sd.txt"_s), kept);
    }
}

TEST(RunSequence, ModelsFromTheConcordanceFileWithoutMeasuring)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"K.txt"_s, "Type\tFrequency\r\na\t2\r\nb\t1\r\n");
    run::RunSettings settings = settingsFor({});
    settings.measure = false;
    settings.concordanceFile = u"K.txt"_s;
    settings.curves = curves(u"0"_s, u"0"_s, u"1"_s);
    RecordingReport report;
    EXPECT_EQ(run::runSequence(settings, report), RunEnd::Done);
    EXPECT_EQ(report.messages, QStringList{u"Done!"_s});
    EXPECT_EQ(readTestFile(u"C.txt"_s), "1\r\nTTR\t\r\n1.000\t\r\n1.667\t\r\n2.000\t\r\n");
    EXPECT_FALSE(QFileInfo::exists(u"M.txt"_s));
    EXPECT_EQ(readTestFile(u"K.txt"_s), "Type\tFrequency\r\na\t2\r\nb\t1\r\n");
}

// The concordance file must exist for the model even when the spectrum comes from the run's dictionary. The window
// says "Done!" all the same; the result tells that the model is missing.
TEST(RunSequence, SkipsTheModelWithoutAConcordanceFileAndIsStillDone)
{
    for (const bool measure : {true, false}) {
        const ScopedTemporaryWorkingDirectory folder;
        writeTestFile(u"a.txt"_s, "word");
        run::RunSettings settings = settingsFor({u"a.txt"_s});
        settings.measure = measure;
        settings.concordance = false;
        RecordingReport report;
        EXPECT_EQ(run::runSequence(settings, report), RunEnd::DoneWithoutModel);
        EXPECT_EQ(
            report.messages,
            (QStringList{u"Concordance.txt does not exist. Measure the concordancy of a text first."_s, u"Done!"_s}));
        EXPECT_EQ(QFileInfo::exists(u"M.txt"_s), measure);
        EXPECT_FALSE(QFileInfo::exists(u"C.txt"_s));
    }
}

TEST(RunSequence, ModelsFromTheDictionaryWhenItMeasuredNotFromAnOlderConcordance)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"a.txt"_s, "a b");
    writeTestFile(u"Concordance.txt"_s, "Type\tFrequency\r\nx\t7\r\n");
    run::RunSettings settings = settingsFor({u"a.txt"_s});
    settings.concordance = false;
    settings.curves = curves(u"0"_s, u"0"_s, u"1"_s);
    RecordingReport report;
    EXPECT_EQ(run::runSequence(settings, report), RunEnd::Done);
    EXPECT_EQ(readTestFile(u"C.txt"_s), "1\r\nTTR\t\r\n1.000\t\r\n2.000\t\r\n");
    EXPECT_EQ(readTestFile(u"Concordance.txt"_s), "Type\tFrequency\r\nx\t7\r\n");
}

TEST(RunSequence, SaysDoneAtOnceWithNothingToDo)
{
    const ScopedTemporaryWorkingDirectory folder;
    run::RunSettings settings = settingsFor({});
    settings.measure = false;
    settings.model = false;
    RecordingReport report;
    EXPECT_EQ(run::runSequence(settings, report), RunEnd::Done);
    EXPECT_EQ(report.messages, QStringList{u"Done!"_s});
    EXPECT_TRUE(QDir().isEmpty());
}

// A NUL that ends a text early is worth a note, for an input file and for the concordance the model reads.
TEST(RunSequence, WarnsOfATextThatANulCutShort)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"a.txt"_s, literalBytes("a b\0 and nine more"));
    writeTestFile(u"K.txt"_s, literalBytes("Type\tFrequency\r\na\t2\r\n\0b\t1\r\nc\t1\r\n"));
    for (const bool measure : {true, false}) {
        run::RunSettings settings = settingsFor({u"a.txt"_s});
        settings.measure = measure;
        settings.concordance = false;
        settings.concordanceFile = u"K.txt"_s;
        RecordingReport report;
        EXPECT_EQ(run::runSequence(settings, report), RunEnd::Done);
        EXPECT_EQ(report.messages, QStringList{u"Done!"_s});
        EXPECT_EQ(report.warnings,
                  QStringList{measure
                                  ? u"Warning: the text of file \"a.txt\" ends at a NUL character at byte 3; the 14 "
                                    "bytes after it were not read."_s
                                  : u"Warning: the text of file \"K.txt\" ends at a NUL character at byte 21; the 10 "
                                    "bytes after it were not read."_s});
    }
}

} // namespace
