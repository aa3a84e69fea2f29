#include "run/RunSequence.h"

#include "textio/ErrorMessage.h"

#include "QtPrinting.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <functional>
#include <unistd.h>

namespace {

using namespace Qt::Literals::StringLiterals;

// The main window as the run sees it, with the window's defaults; it records what the user would see.
struct FakeHost final : run::RunHost
{
    QString freqFromText() const override { return from; }
    QString freqToText() const override { return to; }
    QString densityText() const override { return density; }
    bool ttrChecked() const override { return ttr; }
    bool measureChecked() const override { return measure; }
    bool modelChecked() const override { return model; }
    bool concordanceChecked() const override { return concordance; }
    int inputFormat() const override { return format; }
    textio::CodePage codePage() const override { return {}; }
    QString measuredFileName() const override { return measuredFile; }
    QString modelFileName() const override { return modelFile; }
    QString concordanceFileName() const override { return concordanceFile; }
    QStringList inputLines() const override { return lines; }
    void removeInputLine(int index) override { lines.removeAt(index); }
    void showMessage(const QString& text) override { messages.append(text); }
    void warn(const QString& text) override { warnings.append(text); }

    QString from = u"1"_s;
    QString to = u"4"_s;
    QString density = u"10"_s;
    bool ttr = true;
    bool measure = true;
    bool model = true;
    bool concordance = true;
    int format = 0;
    QString measuredFile = u"M.txt"_s;
    QString modelFile = u"C.txt"_s;
    QString concordanceFile = u"Concordance.txt"_s;
    QStringList lines;
    QStringList messages;
    QStringList warnings;
};

using run::RunEnd;

const QByteArray concordanceHeader = utf8Bom + "Type\tFrequency\r\n";

QString runError(FakeHost& host)
{
    try {
        run::runSequence(host);
    } catch (const textio::ErrorMessage& error) {
        return error.text();
    }
    return {};
}

TEST(RunSequence, MeasuresModelsAndSavesTheConcordance)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"text.txt"_s, "a b a\r\nc a");
    FakeHost host;
    host.lines = {u"text.txt"_s};
    host.density = u"2"_s;
    host.to = u"3"_s;

    EXPECT_EQ(run::runSequence(host), RunEnd::Done);
    EXPECT_EQ(host.messages, QStringList{u"Done!"_s});
    EXPECT_EQ(readTestFile(u"M.txt"_s), "2\r\nTTR\tT1TR\tT2TR\tT3TR\t\r\n2\t2\t0\t0\t\r\n3\t2\t1\t0\t\r\n");
    EXPECT_EQ(readTestFile(u"C.txt"_s),
              "2\r\nTTR\tT1TR\tT2TR\tT3TR\t\r\n1.700\t1.400\t0.300\t0.000\t\r\n2.600\t1.600\t0.600\t0.400\t\r\n");
    EXPECT_EQ(readTestFile(u"Concordance.txt"_s), concordanceHeader + "a\t3\r\nb\t1\r\nc\t1\r\n");
    EXPECT_EQ(readTestFile(u"text.txt"_s), "a b a\r\nc a");
}

TEST(RunSequence, AsksForInputFilesWhenTheListHoldsNoText)
{
    const ScopedTemporaryWorkingDirectory folder;
    FakeHost host;
    host.lines = {};
    EXPECT_EQ(run::runSequence(host), RunEnd::Stopped);
    EXPECT_EQ(host.messages, QStringList{u"Use the \"Load input files\" button to determine input files."_s});
    EXPECT_TRUE(QDir().isEmpty()) << "something was written";
}

// A list of one line break is not "no text": its one empty line is removed and the run goes on.
TEST(RunSequence, RemovesEmptyLinesAndReadsNothingWhenNoOtherLineIsLeft)
{
    for (const QStringList& lines : {QStringList{u""_s}, QStringList{u""_s, u""_s}}) {
        const ScopedTemporaryWorkingDirectory folder;
        FakeHost host;
        host.lines = lines;
        EXPECT_EQ(run::runSequence(host), RunEnd::Done);
        EXPECT_EQ(host.lines, QStringList{});
        EXPECT_EQ(host.messages, QStringList{u"Done!"_s});
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
    FakeHost host;
    host.lines = {u"a.txt"_s, u""_s, u"missing.txt"_s, u" "_s};
    EXPECT_EQ(run::runSequence(host), RunEnd::Stopped);
    EXPECT_EQ(host.lines, (QStringList{u"a.txt"_s, u"missing.txt"_s, u" "_s}));
    EXPECT_EQ(host.messages,
              QStringList{u"The file \"missing.txt\" does not exist! The procedure will be terminated."_s});
    EXPECT_EQ(readTestFile(u"M.txt"_s), "older");
    EXPECT_EQ(QDir().entryList(QDir::Files | QDir::Hidden), (QStringList{u"a.txt"_s, u"M.txt"_s}));
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
    const auto inFolder = [](FakeHost& host) {
        host.lines = {u"a.txt"_s, u"folder"_s};
    };
    const auto measuredInMissingFolder = [](FakeHost& host) {
        host.measuredFile = u"out/M.txt"_s;
    };
    const auto concordanceInMissingFolder = [](FakeHost& host) {
        host.concordanceFile = u"out/K.txt"_s;
    };
    const auto modelInMissingFolder = [](FakeHost& host) {
        host.modelFile = u"out/C.txt"_s;
    };
    const auto densityOutOfRange = [](FakeHost& host) {
        host.density = u"2147483648"_s;
    };
    const auto tooManyClasses = [](FakeHost& host) {
        host.to = u"2147483647"_s;
    };
    const std::pair<std::function<void(FakeHost&)>, QString> cases[] = {
        {inFolder, u"Cannot open file \"folder\". Is a directory"_s},
        {measuredInMissingFolder, u"Cannot create file \"out/M.txt\". No such file or directory"_s},
        {concordanceInMissingFolder, u"Cannot create file \"out/K.txt\". No such file or directory"_s},
        {modelInMissingFolder, u"Cannot create file \"out/C.txt\". No such file or directory"_s},
        {densityOutOfRange, u"''2147483648'' is not a valid integer value"_s},
        {tooManyClasses,
         u"Cannot count the frequency classes from 1 to 2147483647: a run counts at most 1000000 classes."_s},
    };
    for (const auto& [prepare, message] : cases) {
        FakeHost host;
        host.lines = {u"a.txt"_s};
        prepare(host);
        EXPECT_EQ(runError(host), message);
        EXPECT_EQ(host.messages, QStringList{});
    }
    EXPECT_EQ(readTestFile(u"a.txt"_s), "word");
    for (const QString& output : {u"M.txt"_s, u"C.txt"_s, u"Concordance.txt"_s})
        EXPECT_EQ(readTestFile(output), "older") << output.toStdString();
    EXPECT_EQ(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 5);
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
    const auto measuredIsInput = [](FakeHost& host) {
        host.measuredFile = u"./a.txt"_s;
    };
    const auto concordanceIsInput = [](FakeHost& host) {
        host.concordanceFile = u"sub/../a.txt"_s;
    };
    const auto modelIsInput = [](FakeHost& host) {
        host.modelFile = u"a.txt"_s;
    };
    const auto modelIsConcordance = [](FakeHost& host) {
        host.measure = false;
        host.concordanceFile = u"a.txt"_s;
        host.modelFile = u"hard.txt"_s;
    };
    const auto modelIsSymbolicLink = [](FakeHost& host) {
        host.modelFile = u"symbolic.txt"_s;
    };
    const auto concordanceIsMeasured = [](FakeHost& host) {
        host.concordanceFile = u"sub/../M.txt"_s;
    };
    const std::pair<std::function<void(FakeHost&)>, QString> cases[] = {
        {measuredIsInput, u"Cannot create file \"./a.txt\". It is an input file of this run."_s},
        {concordanceIsInput, u"Cannot create file \"sub/../a.txt\". It is an input file of this run."_s},
        {modelIsInput, u"Cannot create file \"a.txt\". It is an input file of this run."_s},
        {modelIsConcordance, u"Cannot create file \"hard.txt\". It is an input file of this run."_s},
        {modelIsSymbolicLink, u"Cannot create file \"symbolic.txt\". It is an input file of this run."_s},
        {concordanceIsMeasured, u"Cannot create file \"sub/../M.txt\". It is another output file of this run."_s},
    };
    for (const auto& [prepare, message] : cases) {
        FakeHost host;
        host.lines = {u"a.txt"_s};
        prepare(host);
        EXPECT_EQ(runError(host), message);
        EXPECT_EQ(readTestFile(u"a.txt"_s), "word");
        EXPECT_FALSE(QFileInfo::exists(u"M.txt"_s));
    }
}

TEST(RunSequence, ModelsFromTheConcordanceFileWithoutMeasuring)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"K.txt"_s, "Type\tFrequency\r\na\t2\r\nb\t1\r\n");
    FakeHost host;
    host.measure = false;
    host.concordanceFile = u"K.txt"_s;
    host.density = u"1"_s;
    host.from = u"0"_s;
    host.to = u"0"_s;
    EXPECT_EQ(run::runSequence(host), RunEnd::Done);
    EXPECT_EQ(host.messages, QStringList{u"Done!"_s});
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
        FakeHost host;
        host.lines = {u"a.txt"_s};
        host.measure = measure;
        host.concordance = false;
        EXPECT_EQ(run::runSequence(host), RunEnd::DoneWithoutModel);
        EXPECT_EQ(
            host.messages,
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
    FakeHost host;
    host.lines = {u"a.txt"_s};
    host.concordance = false;
    host.density = u"1"_s;
    host.from = u"0"_s;
    host.to = u"0"_s;
    EXPECT_EQ(run::runSequence(host), RunEnd::Done);
    EXPECT_EQ(readTestFile(u"C.txt"_s), "1\r\nTTR\t\r\n1.000\t\r\n2.000\t\r\n");
    EXPECT_EQ(readTestFile(u"Concordance.txt"_s), "Type\tFrequency\r\nx\t7\r\n");
}

TEST(RunSequence, SaysDoneAtOnceWithNothingToDo)
{
    const ScopedTemporaryWorkingDirectory folder;
    FakeHost host;
    host.measure = false;
    host.model = false;
    EXPECT_EQ(run::runSequence(host), RunEnd::Done);
    EXPECT_EQ(host.messages, QStringList{u"Done!"_s});
    EXPECT_TRUE(QDir().isEmpty());
}

// A NUL that ends a text early is worth a note, for an input file and for the concordance the model reads.
TEST(RunSequence, WarnsOfATextThatANulCutShort)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"a.txt"_s, literalBytes("a b\0 and nine more"));
    writeTestFile(u"K.txt"_s, literalBytes("Type\tFrequency\r\na\t2\r\n\0b\t1\r\nc\t1\r\n"));
    for (const bool measure : {true, false}) {
        FakeHost host;
        host.measure = measure;
        host.lines = {u"a.txt"_s};
        host.concordance = false;
        host.concordanceFile = u"K.txt"_s;
        EXPECT_EQ(run::runSequence(host), RunEnd::Done);
        EXPECT_EQ(host.messages, QStringList{u"Done!"_s});
        EXPECT_EQ(host.warnings,
                  QStringList{measure
                                  ? u"Warning: the text of file \"a.txt\" ends at a NUL character at byte 3; the 14 "
                                    "bytes after it were not read."_s
                                  : u"Warning: the text of file \"K.txt\" ends at a NUL character at byte 21; the 10 "
                                    "bytes after it were not read."_s});
    }
}

} // namespace
