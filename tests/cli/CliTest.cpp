#include "QtPrinting.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace Qt::Literals::StringLiterals;

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QProcessEnvironment pinnedLocale()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    return environment;
}

// Runs the built program in `folder` with a pinned locale, `input` on its standard input.
Outcome runCli(const QString& folder, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(pinnedLocale());
    process.start(QStringLiteral(VOCABRIX_CLI), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// Every file under `folder` with its bytes; a folder is listed with its name only.
std::map<QString, QByteArray> snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        struct stat status = {};
        ::lstat(QFile::encodeName(entry.filePath()).constData(), &status);
        // Only regular files are read: opening a named pipe would wait for a writer, or take the program's input.
        files[QDir(folder).relativeFilePath(entry.filePath())] =
            S_ISREG(status.st_mode) ? readTestFile(entry.filePath()) : QByteArray("<entry>");
    }
    return files;
}

const QByteArray concordanceHeader = utf8Bom + "Type\tFrequency\r\n";
const QString corpora = QStringLiteral(VOCABRIX_CORPORA);

// What a row needs beyond plain input files: a guard that undoes it after the run, or why the row cannot run here.
struct Prepared
{
    std::shared_ptr<void> guard;
    const char* skip = nullptr;
};
using Setup = std::function<Prepared(const QString& folder)>;

Prepared hardLink(const QString& folder)
{
    ::link(qPrintable(folder + u"/in.txt"_s), qPrintable(folder + u"/hard.txt"_s));
    return {};
}

Prepared symbolicLink(const QString& folder)
{
    QFile::link(u"in.txt"_s, folder + u"/link.txt"_s);
    return {};
}

Prepared subfolder(const QString& folder)
{
    QDir(folder).mkdir(u"folder"_s);
    return {};
}

Prepared unreadable(const QString& folder)
{
    ::chmod(qPrintable(folder + u"/in.txt"_s), 0);
    return {nullptr, ::geteuid() == 0 ? "root reads a file without permissions" : nullptr};
}

// A named pipe fed by a thread once the program opens it for reading.
Prepared fifo(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder + u"/fifo"_s);
    ::mkfifo(path.constData(), 0600);
    auto writer = std::make_shared<std::jthread>([path](std::stop_token stop) {
        int descriptor = -1;
        while (descriptor < 0 && !stop.stop_requested()) {
            descriptor = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
            if (descriptor < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (descriptor >= 0) {
            [[maybe_unused]] const ssize_t written = ::write(descriptor, "caf\xE9 a a\n", 9);
            ::close(descriptor);
        }
    });
    return {writer};
}

// A folder on a file system of 64 KiB, which a measured file of a long text overflows.
Prepared smallDisk(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder + u"/small"_s);
    QDir(folder).mkdir(u"small"_s);
    if (::mount("vocabrix-test", path.constData(), "tmpfs", 0, "size=64k") != 0)
        return {nullptr, "cannot mount a small tmpfs here (mounting needs root)"};
    writeTestFile(folder + u"/small/M.txt"_s, "previous M");
    return {std::shared_ptr<void>(new int(0), [path](int* unused) {
        ::umount2(path.constData(), MNT_DETACH);
        delete unused;
    })};
}

struct BadInput
{
    const char* name;
    std::map<QString, QByteArray> inputs;
    Setup setup;
    QStringList arguments;
    int exitCode;
    QByteArray err; // standard error, or its first line when the exit status is 2
    // Outputs the run replaces, with their new bytes (a null value: any bytes); every other file stays as it was.
    std::map<QString, QByteArray> written = {};
};

void PrintTo(const BadInput& row, std::ostream* out)
{
    *out << row.name;
}

const std::map<QString, QByteArray> someText{{u"in.txt"_s, "hello world"}};
const QByteArray anyBytes;
const QByteArray usageLine = "Usage: vocabrix-cli [OPTION...] [FILE...]\n";

// The command line meets what a new user may give it. Before each row the folder holds the outputs of an earlier
// run; a row that fails must leave them, and every input, as they were.
class BadInputTable : public testing::TestWithParam<BadInput>
{
};

TEST_P(BadInputTable, ExitsWithTheStatusAndMessageAndChangesOnlyWhatItWrote)
{
    const BadInput& row = GetParam();
    const QTemporaryDir folder;
    for (const auto& [name, bytes] : row.inputs)
        writeTestFile(folder.filePath(name), bytes);
    for (const QString& output : {u"M.txt"_s, u"C.txt"_s, u"Concordance.txt"_s})
        writeTestFile(folder.filePath(output), "previous " + output.toUtf8());
    const Prepared prepared = row.setup ? row.setup(folder.path()) : Prepared{};
    if (prepared.skip)
        GTEST_SKIP() << prepared.skip;
    std::map<QString, QByteArray> expected = snapshot(folder.path());

    const Outcome outcome = runCli(folder.path(), row.arguments);
    // Outputs are put in place only on the way to "Done!".
    const bool done =
        row.exitCode == 0 || !row.written.empty() || row.err.endsWith("Measure the concordancy of a text first.\n");
    EXPECT_EQ(outcome.exitCode, row.exitCode);
    EXPECT_EQ(outcome.out, done ? "Done!\n" : "");
    if (row.exitCode == 2)
        EXPECT_TRUE(outcome.err.startsWith(row.err + usageLine)) << outcome.err.toStdString();
    else
        EXPECT_EQ(outcome.err, row.err);
    std::map<QString, QByteArray> found = snapshot(folder.path());
    for (const auto& [name, bytes] : row.written) {
        EXPECT_TRUE(found.contains(name)) << name.toStdString();
        expected[name] = bytes.isNull() ? found[name] : bytes;
    }
    EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputTable,
    testing::Values(
        // Outputs that are inputs or one another, under other names.
        BadInput{"MeasuredIsAHardLinkToTheInput",
                 someText,
                 hardLink,
                 {u"--measured"_s, u"hard.txt"_s, u"in.txt"_s},
                 1,
                 "Cannot create file \"hard.txt\". It is an input file of this run.\n"},
        BadInput{"ModelIsAHardLinkToTheInput",
                 someText,
                 hardLink,
                 {u"--model"_s, u"hard.txt"_s, u"in.txt"_s},
                 1,
                 "Cannot create file \"hard.txt\". It is an input file of this run.\n"},
        BadInput{"ConcordanceIsALinkToTheInput",
                 someText,
                 symbolicLink,
                 {u"--concordance"_s, u"link.txt"_s, u"in.txt"_s},
                 1,
                 "Cannot create file \"link.txt\". It is an input file of this run.\n"},
        BadInput{"MeasuredIsTheConcordance",
                 someText,
                 {},
                 {u"--measured"_s, u"X"_s, u"--concordance"_s, u"X"_s, u"in.txt"_s},
                 1,
                 "Cannot create file \"X\". It is another output file of this run.\n"},
        BadInput{"MeasuredIsTheModel",
                 someText,
                 {},
                 {u"--measured"_s, u"X"_s, u"--model"_s, u"./X"_s, u"in.txt"_s},
                 1,
                 "Cannot create file \"./X\". It is another output file of this run.\n"},
        // A model asked for and not computed is no success.
        BadInput{"NoMeasureAndNoConcordance",
                 {},
                 {},
                 {u"--no-measure"_s, u"--concordance"_s, u"K.txt"_s},
                 1,
                 "K.txt does not exist. Measure the concordancy of a text first.\n"},
        BadInput{"NoConcordanceSavedAndNoneOnDisk",
                 someText,
                 {},
                 {u"--no-concordance"_s, u"--concordance"_s, u"K.txt"_s, u"in.txt"_s},
                 1,
                 "K.txt does not exist. Measure the concordancy of a text first.\n",
                 {{u"M.txt"_s, "10\r\nTTR\tT1TR\tT2TR\tT3TR\tT4TR\t\r\n"}}},
        // A type holding a TAB reads back whole: the spectrum {2: 1, 1: 1}.
        BadInput{"ConcordanceWithTabsInTypes",
                 {{u"K.txt"_s, concordanceHeader + "abc\t123\t2\r\nxyz\t5\t1\r\n"}},
                 {},
                 {u"--no-measure"_s, u"--concordance"_s, u"K.txt"_s, u"--every"_s, u"1"_s, u"--from"_s, u"0"_s},
                 0,
                 "",
                 {{u"C.txt"_s, "1\r\nTTR\t\r\n1.000\t\r\n1.667\t\r\n2.000\t\r\n"}, {u"C.sd.txt"_s, anyBytes}}},
        // No companion file is made, and none is left beside the new model.
        BadInput{"NoStandardDeviations",
                 someText,
                 {},
                 {u"--no-sd"_s, u"in.txt"_s},
                 0,
                 "",
                 {{u"M.txt"_s, anyBytes}, {u"C.txt"_s, anyBytes}, {u"Concordance.txt"_s, anyBytes}}},
        BadInput{"ClassRangeBeyondTheLimit",
                 someText,
                 {},
                 {u"--to"_s, u"2147483647"_s, u"in.txt"_s},
                 1,
                 "Cannot count the frequency classes from 1 to 2147483647: a run counts at most 1000000 classes.\n"},
        // The files for R follow the run's outputs: refused before anything is written.
        BadInput{"ZipfrWithoutTypeCount",
                 someText,
                 {},
                 {u"--zipfr"_s, u"R"_s, u"--no-ttr"_s, u"in.txt"_s},
                 1,
                 "Cannot write the files for R without the type count: --zipfr needs the run without --no-ttr.\n"},
        BadInput{"ZipfrFileIsTheConcordanceTheModelReads",
                 {{u"R.tfl"_s, concordanceHeader + "a\t1\r\n"}},
                 {},
                 {u"--no-measure"_s, u"--concordance"_s, u"R.tfl"_s, u"--zipfr"_s, u"R"_s},
                 1,
                 "Cannot create file \"R.tfl\". It is an input file of this run.\n"},
        BadInput{"ZipfrFileIsAnotherOutput",
                 someText,
                 {},
                 {u"--measured"_s, u"R.emp.vgc"_s, u"--zipfr"_s, u"R"_s, u"in.txt"_s},
                 1,
                 "Cannot create file \"R.emp.vgc\". It is another output file of this run.\n"},
        // Files for R that cannot be written after "Done!" leave the run's outputs in place.
        BadInput{"ZipfrInMissingFolder",
                 someText,
                 {},
                 {u"--zipfr"_s, u"out/R"_s, u"in.txt"_s},
                 1,
                 "Cannot create file \"out/R.spc\". No such file or directory\n",
                 {{u"M.txt"_s, anyBytes},
                  {u"C.txt"_s, anyBytes},
                  {u"C.sd.txt"_s, anyBytes},
                  {u"Concordance.txt"_s, anyBytes}}},
        // Text in other encodings, and text cut short.
        BadInput{"Utf16WithoutMark",
                 {{u"in.txt"_s, literalBytes("h\0e\0l\0l\0o\0 \0w\0o\0r\0l\0d\0")}},
                 {},
                 {u"--no-model"_s, u"in.txt"_s},
                 0,
                 "",
                 {{u"M.txt"_s, anyBytes}, {u"Concordance.txt"_s, concordanceHeader + "hello\t1\r\nworld\t1\r\n"}}},
        BadInput{"Utf32WithMark",
                 {{u"in.txt"_s, literalBytes("\xFF\xFE\0\0a\0\0\0 \0\0\0b\0\0\0")}},
                 {},
                 {u"--no-model"_s, u"in.txt"_s},
                 0,
                 "",
                 {{u"M.txt"_s, anyBytes}, {u"Concordance.txt"_s, concordanceHeader + "a\t1\r\nb\t1\r\n"}}},
        // Too short for a guess, so read as Windows-1252 unless the code page is named.
        BadInput{
            "NamedCodePage",
            {{u"in.txt"_s, "\xEF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0"}},
            {},
            {u"--codepage"_s, u"windows-1251"_s, u"--no-model"_s, u"in.txt"_s},
            0,
            "",
            {{u"M.txt"_s, anyBytes},
             {u"Concordance.txt"_s, concordanceHeader + "\xD0\xBC\xD0\xB8\xD1\x80\t1\r\n"
                                                        "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\t1\r\n"}}},
        BadInput{"NulWithMuchTextAfterIt",
                 {{u"in.txt"_s, literalBytes("ab\0 and the rest of the text")}},
                 {},
                 {u"--no-model"_s, u"in.txt"_s},
                 0,
                 "Warning: the text of file \"in.txt\" ends at a NUL character at byte 2; the 25 bytes after it were "
                 "not read.\n",
                 {{u"M.txt"_s, anyBytes}, {u"Concordance.txt"_s, concordanceHeader + "ab\t1\r\n"}}},
        // A wrong command line.
        BadInput{"UnknownOption", someText, {}, {u"--bogus"_s}, 2, "vocabrix-cli: unknown option --bogus\n"},
        BadInput{"FormatOutOfRange",
                 someText,
                 {},
                 {u"--format"_s, u"5"_s, u"in.txt"_s},
                 2,
                 "vocabrix-cli: --format needs a number from 0 to 4\n"},
        BadInput{"NoSingleByteCodePage",
                 someText,
                 {},
                 {u"--codepage"_s, u"UTF-8"_s, u"in.txt"_s},
                 2,
                 "vocabrix-cli: --codepage UTF-8 is not a single-byte code page known here\n"},
        BadInput{"OptionWithoutValue",
                 someText,
                 {},
                 {u"in.txt"_s, u"--every"_s},
                 2,
                 "vocabrix-cli: --every needs a value\n"},
        BadInput{"DensityBelow32Bits",
                 someText,
                 {},
                 {u"--every"_s, u"-2147483648"_s, u"in.txt"_s},
                 2,
                 "vocabrix-cli: --every -2147483648 is out of range (-2147483647 to 2147483647)\n"},
        BadInput{"ClassBelow32Bits",
                 someText,
                 {},
                 {u"--from"_s, u"-2147483648"_s, u"in.txt"_s},
                 2,
                 "vocabrix-cli: --from -2147483648 is out of range (-2147483647 to 2147483647)\n"},
        BadInput{"NoInputFiles", {}, {}, {}, 2, "vocabrix-cli: no input FILE to measure\n"},
        // The classics.
        BadInput{"MissingFile",
                 someText,
                 {},
                 {u"in.txt"_s, u"missing.txt"_s},
                 1,
                 "The file \"missing.txt\" does not exist! The procedure will be terminated.\n"},
        BadInput{"Folder",
                 someText,
                 subfolder,
                 {u"in.txt"_s, u"folder"_s},
                 1,
                 "Cannot open file \"folder\". Is a directory\n"},
        BadInput{"PermissionDenied",
                 someText,
                 unreadable,
                 {u"in.txt"_s},
                 1,
                 "Cannot open file \"in.txt\". Permission denied\n"},
        BadInput{
            "ReadError", {}, {}, {u"/proc/self/mem"_s}, 1, "Cannot read file \"/proc/self/mem\". Input/output error\n"},
        BadInput{"OutputInMissingFolder",
                 someText,
                 {},
                 {u"--model"_s, u"out/C.txt"_s, u"in.txt"_s},
                 1,
                 "Cannot create file \"out/C.txt\". No such file or directory\n"},
        BadInput{"OddInputs",
                 {{u"empty.txt"_s, ""},
                  {u"nul.txt"_s, QByteArray(8, '\0')},
                  {u"mark.txt"_s, utf8Bom},
                  {u"odd.txt"_s, utf16LeBom + literalBytes("a\0b")},
                  {u"bad.txt"_s, utf8Bom + "ab\xC3(cd"}},
                 {},
                 {u"--every"_s, u"1"_s, u"--from"_s, u"0"_s, u"--no-model"_s, u"empty.txt"_s, u"nul.txt"_s,
                  u"mark.txt"_s, u"odd.txt"_s, u"bad.txt"_s},
                 0,
                 "",
                 {{u"M.txt"_s, "1\r\nTTR\t\r\n1\t\r\n2\t\r\n3\t\r\n"},
                  {u"Concordance.txt"_s, concordanceHeader + "a\t1\r\nab\t1\r\ncd\t1\r\n"}}},
        // A pipe can be read only once, yet an unmarked text in it is still tested for UTF-8 first.
        BadInput{"Fifo",
                 {},
                 fifo,
                 {u"--no-model"_s, u"fifo"_s},
                 0,
                 "",
                 {{u"M.txt"_s, anyBytes}, {u"Concordance.txt"_s, concordanceHeader + "a\t2\r\ncaf\xC3\xA9\t1\r\n"}}},
        BadInput{"FullDevice",
                 someText,
                 {},
                 {u"--measured"_s, u"/dev/full"_s, u"in.txt"_s},
                 1,
                 "Cannot write file \"/dev/full\". No space left on device\n"},
        BadInput{"FullDisk",
                 {},
                 smallDisk,
                 {u"--measured"_s, u"small/M.txt"_s, u"--every"_s, u"1"_s, corpora + u"/en-gnu-gpl-3.ascii.txt"_s},
                 1,
                 "Cannot write file \"small/M.txt\". No space left on device\n"}),
    [](const testing::TestParamInfo<BadInput>& info) { return info.param.name; });

TEST(Cli, PrintsUsageForHelp)
{
    const QTemporaryDir folder;
    const Outcome outcome = runCli(folder.path(), {u"--help"_s});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.out.startsWith(usageLine)) << outcome.out.toStdString();
    EXPECT_EQ(outcome.err, "");
}

TEST(Cli, RunsWithTheWindowsDefaults)
{
    const QTemporaryDir folder;
    writeTestFile(folder.filePath(u"one.txt"_s), "The cat saw the cat.\n");
    writeTestFile(folder.filePath(u"two.txt"_s), "A cat, the end now");
    const Outcome outcome = runCli(folder.path(), {u"one.txt"_s, u"two.txt"_s});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out, "Done!\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(readTestFile(folder.filePath(u"M.txt"_s)), "10\r\nTTR\tT1TR\tT2TR\tT3TR\tT4TR\t\r\n7\t5\t1\t1\t0\t\r\n");
    EXPECT_EQ(readTestFile(folder.filePath(u"Concordance.txt"_s)),
              concordanceHeader + "A\t1\r\ncat\t3\r\nend\t1\r\nnow\t1\r\nsaw\t1\r\nThe\t1\r\nthe\t2\r\n");
    EXPECT_TRUE(readTestFile(folder.filePath(u"C.txt"_s)).startsWith("10\r\nTTR\tT1TR\tT2TR\tT3TR\tT4TR\t\r\n"));
}

// The files for R are TAB tables under the header zipfR reads, every row as wide as it; the model's variances
// come with its standard deviations only.
TEST(Cli, WritesTheFilesForRFromTheRunsOutputs)
{
    const QByteArray classes = "\tV1\tV2\tV3\tV4";
    for (const bool deviations : {true, false}) {
        const QTemporaryDir folder;
        writeTestFile(folder.filePath(u"in.txt"_s), "the cat saw the dog and the cat ran");
        QStringList arguments{u"--every"_s, u"2"_s, u"--zipfr"_s, u"out/R"_s, u"in.txt"_s};
        if (!deviations)
            arguments.prepend(u"--no-sd"_s);
        QDir(folder.path()).mkdir(u"out"_s);
        const Outcome outcome = runCli(folder.path(), arguments);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.err, "");
        const std::map<QString, QByteArray> headers{
            {u"R.spc"_s, "m\tVm"},
            {u"R.tfl"_s, "f\ttype"},
            {u"R.emp.vgc"_s, "N\tV" + classes},
            {u"R.exp.vgc"_s,
             "N\tV" + classes + (deviations ? "\tVV" + QByteArray(classes).replace("\tV", "\tVV") : "")},
        };
        for (const auto& [name, header] : headers) {
            const QList<QByteArray> lines = readTestFile(folder.filePath(u"out/"_s + name)).split('\n');
            ASSERT_GT(lines.size(), 2) << name.toStdString();
            EXPECT_EQ(lines.first(), header) << name.toStdString();
            EXPECT_EQ(lines.last(), "") << name.toStdString() << " ends with a line break";
            for (const QByteArray& line : lines.sliced(1, lines.size() - 2))
                EXPECT_EQ(line.count('\t'), header.count('\t')) << name.toStdString() << ": " << line.toStdString();
        }
        EXPECT_EQ(QDir(folder.filePath(u"out"_s)).entryList(QDir::Files).size(), 4);
    }
}

// The settings pass through the window's corrections first: "abc" makes the range 0..0, "-20" becomes "20"
// and a name without a file part becomes the edit's name plus ".txt".
TEST(Cli, CorrectsSettingsAsTheWindowDoes)
{
    const QTemporaryDir folder;
    writeTestFile(folder.filePath(u"words.txt"_s), "x\ny\nx\n");
    const Outcome outcome = runCli(folder.path(), {u"--format"_s, u"2"_s, u"--from"_s, u"abc"_s, u"--to"_s, u"7"_s,
                                                   u"--every"_s, u"-20"_s, u"--measured"_s, u".txt"_s, u"--no-model"_s,
                                                   u"--concordance"_s, u"out\\"_s, u"words.txt"_s});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(readTestFile(folder.filePath(u"JmenoSouboruZmer.txt"_s)), "20\r\nTTR\t\r\n");
    EXPECT_EQ(readTestFile(folder.filePath(u"JmenoSouboruRFR.txt"_s)), concordanceHeader + "x\t2\r\ny\t1\r\n");
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(u"C.txt"_s)));
}

// Whether the process has a file of `folder` open, as a run has its measured file from its start.
bool writesInto(const QProcess& process, const QString& folder)
{
    const QString descriptors = u"/proc/%1/fd"_s.arg(process.processId());
    for (const QString& descriptor : QDir(descriptors).entryList(QDir::AllEntries | QDir::System)) {
        char target[4096] = {};
        ::readlink(QFile::encodeName(descriptors + u'/' + descriptor).constData(), target, sizeof target - 1);
        if (QFile::decodeName(target).startsWith(folder))
            return true;
    }
    return false;
}

bool waitUntilWriting(const QProcess& process, const QString& folder)
{
    for (int wait = 0; wait < 3000 && !writesInto(process, folder); ++wait)
        QThread::msleep(10);
    return writesInto(process, folder);
}

// A run killed while it reads leaves the older outputs and no temporary file behind.
TEST(Cli, KilledRunChangesNothing)
{
    const QTemporaryDir folder;
    writeTestFile(folder.filePath(u"M.txt"_s), "previous M");
    const std::map<QString, QByteArray> before = snapshot(folder.path());
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral(VOCABRIX_CLI), {u"/dev/stdin"_s});
    ASSERT_TRUE(process.waitForStarted());
    process.write("words enough to begin\n");
    // The standard input stays open, so the run waits in its reading with the measured file begun.
    EXPECT_TRUE(waitUntilWriting(process, folder.path())) << "the run never began its measured file";
    process.kill();
    process.waitForFinished();
    EXPECT_EQ(snapshot(folder.path()), before);
}

// Ctrl+C and SIGTERM stop a run as the window's "Stop" does: the older outputs stay, no temporary file is left,
// and the exit status tells the signal.
TEST(Cli, SignalStopsTheRunAndChangesNothing)
{
    const QTemporaryDir inputs;
    const QString text = inputs.filePath(u"bible-x8.txt"_s);
    const QByteArray bible = readTestFile(corpora + u"/en-web-bible.utf8.txt"_s);
    writeTestFile(text, bible.repeated(8));
    const QTemporaryDir folder;
    writeTestFile(folder.filePath(u"M.txt"_s), "previous M");
    const std::map<QString, QByteArray> before = snapshot(folder.path());
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(QStringLiteral(VOCABRIX_CLI), {text});
        ASSERT_TRUE(waitUntilWriting(process, folder.path())) << "the run never began its measured file";
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), status);
        EXPECT_EQ(process.readAllStandardError(), "Stopped: no output file was changed.\n");
        EXPECT_EQ(process.readAllStandardOutput(), "");
        EXPECT_EQ(snapshot(folder.path()), before);
    }
}

// Two runs writing to one folder at once: each output is whole, from one run or the other.
TEST(Cli, ConcurrentRunsLeaveWholeFiles)
{
    const QTemporaryDir folder;
    const QStringList texts{corpora + u"/en-austen-northanger-abbey.ascii.txt"_s,
                            corpora + u"/en-austen-pride-and-prejudice.ascii.txt"_s};
    std::vector<std::map<QString, QByteArray>> alone;
    for (const QString& text : texts) {
        ASSERT_EQ(runCli(folder.path(), {u"--every"_s, u"1"_s, text}).exitCode, 0);
        alone.push_back(snapshot(folder.path()));
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        QProcess first;
        QProcess second;
        for (const auto& [process, text] : {std::pair{&first, texts[0]}, std::pair{&second, texts[1]}}) {
            process->setWorkingDirectory(folder.path());
            process->start(QStringLiteral(VOCABRIX_CLI), {u"--every"_s, u"1"_s, text});
        }
        ASSERT_TRUE(first.waitForFinished(120000) && second.waitForFinished(120000));
        const std::map<QString, QByteArray> found = snapshot(folder.path());
        ASSERT_EQ(found.size(), 4u);
        for (const auto& [name, bytes] : found)
            EXPECT_TRUE(bytes == alone[0].at(name) || bytes == alone[1].at(name)) << name.toStdString();
    }
}

} // namespace
