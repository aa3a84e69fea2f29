#include "QtPrinting.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using namespace Qt::Literals::StringLiterals;

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the built program in `folder` with a pinned locale, `input` on its standard input.
Outcome runCli(const QString& folder, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VOCABRIX_CLI), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

class Cli : public testing::Test
{
protected:
    Outcome run(const QStringList& arguments, const QByteArray& input = {})
    {
        return runCli(m_folder.path(), arguments, input);
    }
    QString path(const QString& name) const { return m_folder.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const { writeTestFile(path(name), bytes); }
    QByteArray read(const QString& name) const { return readTestFile(path(name)); }
    bool exists(const QString& name) const { return QFileInfo::exists(path(name)); }

private:
    QTemporaryDir m_folder;
};

const QByteArray concordanceHeader = utf8Bom + "Type\tFrequency\r\n";

TEST_F(Cli, PrintsUsageForHelp)
{
    const Outcome outcome = run({u"--help"_s});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.out.startsWith("Usage: vocabrix-cli")) << outcome.out.toStdString();
    EXPECT_EQ(outcome.err, "");
}

TEST_F(Cli, RejectsAWrongCommandLineWithUsage)
{
    const std::pair<QStringList, QByteArray> cases[] = {
        {{u"--bogus"_s}, "vocabrix-cli: unknown option --bogus\n"},
        {{u"--format"_s, u"5"_s}, "vocabrix-cli: --format needs a number from 0 to 4\n"},
        {{u"--format"_s, u"x"_s}, "vocabrix-cli: --format needs a number from 0 to 4\n"},
        {{u"a.txt"_s, u"--every"_s}, "vocabrix-cli: --every needs a value\n"},
    };
    for (const auto& [arguments, firstLine] : cases) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_EQ(outcome.out, "");
        EXPECT_TRUE(outcome.err.startsWith(firstLine + "Usage: vocabrix-cli")) << outcome.err.toStdString();
    }
    EXPECT_TRUE(QDir(path(u""_s)).isEmpty());
}

TEST_F(Cli, RunsWithTheWindowsDefaults)
{
    write(u"one.txt"_s, "The cat saw the cat.\n");
    write(u"two.txt"_s, "A cat, the end now");
    const Outcome outcome = run({u"one.txt"_s, u"two.txt"_s});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out, "Done!\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(read(u"M.txt"_s), "10\r\nTTR\tT1TR\tT2TR\tT3TR\tT4TR\t\r\n7\t5\t1\t1\t0\t\r\n");
    EXPECT_EQ(read(u"Concordance.txt"_s),
              concordanceHeader + "A\t1\r\ncat\t3\r\nend\t1\r\nnow\t1\r\nsaw\t1\r\nThe\t1\r\nthe\t2\r\n");
    EXPECT_TRUE(read(u"C.txt"_s).startsWith("10\r\nTTR\tT1TR\tT2TR\tT3TR\tT4TR\t\r\n"));
}

// The settings pass through the window's corrections first: "abc" makes the range 0..0, "-20" becomes "20"
// and a name without a file part becomes the edit's name plus ".txt".
TEST_F(Cli, CorrectsSettingsAsTheWindowDoes)
{
    write(u"words.txt"_s, "x\ny\nx\n");
    const Outcome outcome =
        run({u"--format"_s, u"2"_s, u"--from"_s, u"abc"_s, u"--to"_s, u"7"_s, u"--every"_s, u"-20"_s, u"--measured"_s,
             u".txt"_s, u"--no-model"_s, u"--concordance"_s, u"out\\"_s, u"words.txt"_s});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(read(u"JmenoSouboruZmer.txt"_s), "20\r\nTTR\t\r\n");
    EXPECT_EQ(read(u"JmenoSouboruRFR.txt"_s), concordanceHeader + "x\t2\r\ny\t1\r\n");
    EXPECT_FALSE(exists(u"C.txt"_s));
}

TEST_F(Cli, ReadsOddInputAsFarAsItGoes)
{
    write(u"nul.txt"_s, QByteArray(8, '\0'));
    write(u"odd.txt"_s, utf16LeBom + literalBytes("a\0b"));
    write(u"empty.txt"_s, "");
    write(u"bad.txt"_s, utf8Bom + "ab\xC3(cd");
    const Outcome outcome = run({u"--every"_s, u"1"_s, u"--from"_s, u"0"_s, u"--no-model"_s, u"nul.txt"_s, u"odd.txt"_s,
                                 u"empty.txt"_s, u"bad.txt"_s});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out, "Done!\n");
    EXPECT_EQ(read(u"M.txt"_s), "1\r\nTTR\t\r\n1\t\r\n2\t\r\n3\t\r\n");
    EXPECT_EQ(read(u"Concordance.txt"_s), concordanceHeader + "a\t1\r\nab\t1\r\ncd\t1\r\n");
}

// A pipe cannot be read twice like a file, yet an unmarked text in it is still tested for UTF-8 first.
TEST_F(Cli, ReadsAPipeLikeAFile)
{
    const Outcome outcome = run({u"--no-model"_s, u"/dev/stdin"_s}, "caf\xE9 a a\n");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(read(u"Concordance.txt"_s), concordanceHeader + "a\t2\r\ncaf\xC3\xA9\t1\r\n");
}

TEST_F(Cli, EndsWithoutDoneWhenTheRunStopsEarly)
{
    write(u"a.txt"_s, "word");
    QDir(path(u""_s)).mkdir(u"folder"_s);
    const std::pair<QStringList, QByteArray> cases[] = {
        {{u"a.txt"_s, u"missing.txt"_s},
         "The file \"missing.txt\" does not exist! The procedure will be terminated.\n"},
        {{u"a.txt"_s, u"folder"_s}, "Cannot open file \"folder\". Is a directory\n"},
        {{u"--model"_s, u"out/C.txt"_s, u"a.txt"_s}, "Cannot create file \"out/C.txt\". No such file or directory\n"},
        {{}, "Use the \"Load input files\" button to determine input files.\n"},
    };
    for (const auto& [arguments, err] : cases) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.exitCode, 1) << arguments.join(u' ').toStdString();
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, err);
    }
}

TEST_F(Cli, ReportsAMissingConcordanceAndIsStillDone)
{
    const Outcome outcome = run({u"--no-measure"_s});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out, "Done!\n");
    EXPECT_EQ(outcome.err, "Concordance.txt does not exist. Measure the concordancy of a text first.\n");
}

} // namespace
