#include "measure/MeasurementPass.h"
#include "textio/ErrorMessage.h"

#include "QtPrinting.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <gtest/gtest.h>

#include <QDir>

#include <string_view>
#include <vector>

namespace {

using namespace Qt::Literals::StringLiterals;
using measure::CurveSettings;

CurveSettings settings(bool ttr, quint32 from, quint32 to, quint32 density)
{
    return {
        .columns = {.ttr = ttr, .from = from, .to = to}, .density = density, .densityText = QString::number(density)};
}

QByteArray measure(const CurveSettings& settings, const std::vector<std::u16string_view>& tokens)
{
    const ScopedTemporaryWorkingDirectory folder;
    measure::MeasurementPass pass(settings, u"M.txt"_s);
    for (const std::u16string_view token : tokens)
        pass.AddToken(token);
    pass.finish().commit();
    return readTestFile(u"M.txt"_s);
}

TEST(MeasurementPass, WritesTheHeaderOfTheChosenColumns)
{
    const std::pair<CurveSettings, QByteArray> cases[] = {
        {settings(true, 1, 4, 10), "10\r\nTTR\tT1TR\tT2TR\tT3TR\tT4TR\t\r\n"},
        {settings(true, 0, 0, 10), "10\r\nTTR\t\r\n"},
        {settings(false, 0, 0, 1), "1\r\n\r\n"},
        {settings(false, 9, 11, 5), "5\r\nT9TR\tT10TR\tT11TR\t\r\n"},
        {settings(true, 3, 2, 10), "10\r\nTTR\t\r\n"},
        {{.columns = {}, .density = 10, .densityText = u" +10"_s}, " +10\r\nTTR\tT1TR\tT2TR\tT3TR\tT4TR\t\r\n"},
    };
    for (const auto& [settings, header] : cases)
        EXPECT_EQ(measure(settings, {}), header);
}

TEST(MeasurementPass, CountsTypesAndFrequencyClassesAfterEveryBlock)
{
    const std::vector<std::u16string_view> text{u"a", u"b", u"a", u"c", u"a"};
    const std::pair<CurveSettings, QByteArray> cases[] = {
        {settings(true, 1, 2, 1),
         "1\r\nTTR\tT1TR\tT2TR\t\r\n1\t1\t0\t\r\n2\t2\t0\t\r\n2\t1\t1\t\r\n3\t2\t1\t\r\n3\t2\t0\t\r\n"},
        {settings(true, 1, 2, 2), "2\r\nTTR\tT1TR\tT2TR\t\r\n2\t2\t0\t\r\n3\t2\t1\t\r\n"},
        {settings(true, 0, 0, 2), "2\r\nTTR\t\r\n2\t\r\n3\t\r\n"},
        {settings(false, 0, 0, 2), "2\r\n\r\n\r\n\r\n"},
        // Classes that do not start at 1: a type enters the range only when it reaches `from`.
        {settings(false, 2, 3, 1), "1\r\nT2TR\tT3TR\t\r\n0\t0\t\r\n0\t0\t\r\n1\t0\t\r\n1\t0\t\r\n0\t1\t\r\n"},
        {settings(true, 1, 1, 6), "6\r\nTTR\tT1TR\t\r\n"},
    };
    for (const auto& [settings, file] : cases)
        EXPECT_EQ(measure(settings, text), file)
            << "density " << settings.density << ", from " << settings.columns.from;
}

TEST(MeasurementPass, TellsTypesApartByExactCodeUnits)
{
    EXPECT_EQ(measure(settings(true, 1, 1, 4), {u"The", u"the", u"", u""}), "4\r\nTTR\tT1TR\t\r\n3\t2\t\r\n");
}

// A pass that ends early, or whose file is never committed, leaves the older measured file as it was.
TEST(MeasurementPass, LeavesTheOlderFileWhenItEndsEarly)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"M.txt"_s, "older");
    {
        measure::MeasurementPass pass(settings(true, 0, 0, 1), u"M.txt"_s);
        pass.AddToken(u"a");
    }
    {
        measure::MeasurementPass pass(settings(true, 0, 0, 1), u"M.txt"_s);
        pass.AddToken(u"a");
        const textio::StagedFile uncommitted = pass.finish();
    }
    EXPECT_EQ(readTestFile(u"M.txt"_s), "older");
    EXPECT_EQ(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{u"M.txt"_s});
}

TEST(MeasurementPass, ReportsAMeasuredFileItCannotCreate)
{
    const ScopedTemporaryWorkingDirectory folder;
    QDir().mkdir(u"M.txt"_s);
    const std::pair<QString, QString> cases[] = {
        {u"out/M.txt"_s, u"Cannot create file \"out/M.txt\". No such file or directory"_s},
        {u"M.txt"_s, u"Cannot create file \"M.txt\". Is a directory"_s},
    };
    for (const auto& [path, message] : cases) {
        try {
            measure::MeasurementPass pass(settings(true, 1, 4, 10), path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const textio::ErrorMessage& error) {
            EXPECT_EQ(error.text(), message);
        }
    }
}

} // namespace
