#include "WorkingDirectory.h"

#include "textio/ErrorMessage.h"
#include "zipfr/ZipfrFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace zipfr {
namespace {

void writeText(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeAndCommit(const QString& prefix, const Sources& sources)
{
    std::optional<std::vector<textio::StagedFile>> files = writeForR(prefix, sources);
    for (textio::StagedFile& file : *files)
        file.commit();
}

Sources sourcesOf(const char* concordance, const char* measured, const char* model, const char* deviations)
{
    return {QString::fromUtf8(concordance),
            QString::fromUtf8(measured),
            QString::fromUtf8(model),
            QString::fromUtf8(deviations),
            {}};
}

QString errorOf(const QString& prefix, const Sources& sources)
{
    try {
        writeAndCommit(prefix, sources);
    } catch (const textio::ErrorMessage& error) {
        return error.text();
    }
    return {};
}

TEST(ZipfrFiles, ARunsFilesInTheFormatsRReads)
{
    const ScopedTemporaryWorkingDirectory directory;
    // A type with a quote, one with a TAB, one with a line break over two lines, and one that occurs no time.
    writeText(QStringLiteral("Concordance.txt"), "\xef\xbb\xbfType\tFrequency\r\n\"quoted\"\t3\r\na\tb\t1\r\n"
                                                 "two\r\nlines\t1\r\nnever\t0\r\nx\t3\r\n");
    writeText(QStringLiteral("M.txt"), "$A\r\nTTR\tT1TR\tT2TR\t\r\n5\t4\t1\t\r\n7\t+6\t0\t\r\n");
    writeText(QStringLiteral("C.txt"), "$A\r\nTTR\tT1TR\tT2TR\t\r\n5.215\t4.500\t0.630\t\r\n7.000\t1e1\t0.000\t\r\n");
    writeText(QStringLiteral("C.sd.txt"), "$A\r\nTTR\tT1TR\tT2TR\t\r\n0.471\t12.000\t0.001\t\r\n0.000\t0.5\t0\t\r\n");
    const Sources sources = sourcesOf("Concordance.txt", "M.txt", "C.txt", "C.sd.txt");
    EXPECT_EQ(outputNames(QStringLiteral("out"), sources),
              QStringList({QStringLiteral("out.spc"), QStringLiteral("out.tfl"), QStringLiteral("out.emp.vgc"),
                           QStringLiteral("out.exp.vgc")}));
    writeAndCommit(QStringLiteral("out"), sources);

    EXPECT_EQ(contents(QStringLiteral("out.spc")), "m\tVm\n1\t2\n3\t2\n");
    EXPECT_EQ(contents(QStringLiteral("out.tfl")),
              "f\ttype\n3\t\"\"\"quoted\"\"\"\n1\t\"a\tb\"\n1\t\"two\r\nlines\"\n3\t\"x\"\n");
    EXPECT_EQ(contents(QStringLiteral("out.emp.vgc")), "N\tV\tV1\tV2\n10\t5\t4\t1\n20\t7\t6\t0\n");
    EXPECT_EQ(contents(QStringLiteral("out.exp.vgc")), "N\tV\tV1\tV2\tVV\tVV1\tVV2\n"
                                                       "10\t5.215\t4.500\t0.630\t0.221841\t144\t0.000001\n"
                                                       "20\t7.000\t10\t0.000\t0\t0.25\t0\n");
}

// read.vgc wants V1..Vk without a gap, k <= 9, and a type column in every file.
TEST(ZipfrFiles, GrowthCurvesTakeTheClassesFromOneOnWithoutAGap)
{
    const ScopedTemporaryWorkingDirectory directory;
    const struct
    {
        QByteArray names;
        QByteArray growthHeader; // empty: refused
    } cases[] = {
        {"TTR\t", "N\tV\n"},
        {"TTR\tT2TR\tT3TR\t", "N\tV\n"},
        {"T1TR\tTTR\tT2TR\tT4TR\t", "N\tV\tV1\tV2\n"},
        {"TTR\tT1TR\tT2TR\tT3TR\tT4TR\tT5TR\tT6TR\tT7TR\tT8TR\tT9TR\tT10TR\t",
         "N\tV\tV1\tV2\tV3\tV4\tV5\tV6\tV7\tV8\tV9\n"},
        {"T1TR\tT2TR\t", ""},
    };
    for (const auto& c : cases) {
        const QByteArray row = QByteArray("1\t").repeated(c.names.count('\t'));
        writeText(QStringLiteral("M.txt"), "10\r\n" + c.names + "\r\n" + row + "\r\n");
        const QString error = errorOf(QStringLiteral("out"), sourcesOf("", "M.txt", "", ""));
        if (c.growthHeader.isEmpty()) {
            EXPECT_EQ(error, QStringLiteral("\"M.txt\" has no TTR column, and a growth curve for R needs one."));
            continue;
        }
        EXPECT_EQ(error, QString()) << c.names.toStdString();
        EXPECT_TRUE(contents(QStringLiteral("out.emp.vgc")).startsWith(c.growthHeader)) << c.names.toStdString();
    }
}

TEST(ZipfrFiles, FaultySourcesLeaveNothingBehind)
{
    const ScopedTemporaryWorkingDirectory directory;
    writeText(QStringLiteral("C.txt"), "10\r\nTTR\t\r\n1.5\t\r\n2,5\t\r\n");
    writeText(QStringLiteral("C.sd.txt"), "10\r\nTTR\t\r\n0.5\t\r\n");
    writeText(QStringLiteral("M.txt"), "10\r\nTTR\tT1TR\t\r\n1\t\r\n");
    const struct
    {
        Sources sources;
        QString error;
    } cases[] = {
        {sourcesOf("", "", "C.txt", "C.sd.txt"),
         QStringLiteral("\"C.sd.txt\" does not hold the standard deviations of the model in \"C.txt\": its "
                        "density, columns or number of rows differ.")},
        {sourcesOf("", "", "C.txt", ""), QStringLiteral("'2,5' is not a valid floating point value (line 4 of "
                                                        "\"C.txt\")")},
        {sourcesOf("", "M.txt", "", ""), QStringLiteral("the row has 1 of its 2 values (line 3 of \"M.txt\")")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorOf(QStringLiteral("out"), c.sources), c.error);
        EXPECT_EQ(QDir().entryList(QDir::Files).size(), 3) << c.error.toStdString();
    }
}

} // namespace
} // namespace zipfr
