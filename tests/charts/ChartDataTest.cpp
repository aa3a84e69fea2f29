#include "charts/ConcordanceReader.h"
#include "charts/CurveFileReader.h"
#include "charts/CurveSampling.h"
#include "textio/ErrorMessage.h"

#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <random>

using namespace charts;
using namespace Qt::StringLiterals;

namespace {

struct Ranked
{
    QString type;
    qint64 frequency;

    friend bool operator==(const Ranked&, const Ranked&) = default;
    friend void PrintTo(const Ranked& r, std::ostream* out) { *out << r.type.toStdString() << ":" << r.frequency; }
};

std::vector<Ranked> rankFile(const QByteArray& bytes)
{
    writeTestFile(u"Concordance.txt"_s, bytes);
    const RankFrequency result = readRankFrequency(u"Concordance.txt"_s);
    std::vector<Ranked> ranked;
    for (const ConcordanceEntry& entry : result.ranked)
        ranked.push_back({entry.type.toString(), entry.frequency});
    return ranked;
}

CurveFile curveFile(const QByteArray& bytes, CurveValues values = CurveValues::Integer)
{
    writeTestFile(u"M.txt"_s, bytes);
    return readCurveFile(u"M.txt"_s, values);
}

std::vector<double> xs(const Curve& curve)
{
    std::vector<double> result;
    for (size_t i = 0; i < curve.size(); ++i)
        result.push_back(curve.x(i));
    return result;
}

std::vector<double> ys(const Curve& curve)
{
    std::vector<double> result;
    for (size_t i = 0; i < curve.size(); ++i)
        result.push_back(curve.y(i));
    return result;
}

std::vector<double> xs(const CurveColumn& column)
{
    return xs(column.curve);
}

std::vector<double> ys(const CurveColumn& column)
{
    return ys(column.curve);
}

Curve curveOf(quint64 step, std::initializer_list<double> values)
{
    Curve curve(step);
    for (const double y : values)
        curve.append(y);
    return curve;
}

class ChartData : public ::testing::Test
{
protected:
    ScopedTemporaryWorkingDirectory m_folder;
};

} // namespace

using RankFrequencyFile = ChartData;

TEST_F(RankFrequencyFile, RanksTypesByDescendingFrequencyWithoutTheHeader)
{
    EXPECT_EQ(rankFile("\xEF\xBB\xBFType\tFrequency\r\na\t2\r\nb\t1\r\nc\t3\r\n"),
              (std::vector<Ranked>{{u"c"_s, 3}, {u"a"_s, 2}, {u"b"_s, 1}}));
}

TEST_F(RankFrequencyFile, TypesOfEqualFrequencyKeepTheirFileOrder)
{
    EXPECT_EQ(rankFile("Type\tFrequency\nz\t1\ny\t5\nx\t1\nw\t1\n"),
              (std::vector<Ranked>{{u"y"_s, 5}, {u"z"_s, 1}, {u"x"_s, 1}, {u"w"_s, 1}}));
}

TEST_F(RankFrequencyFile, HeaderAloneGivesNoRanks)
{
    EXPECT_TRUE(rankFile("\xEF\xBB\xBFType\tFrequency\r\n").empty());
}

TEST_F(RankFrequencyFile, FrequencyTextFallsBackToItsDigits)
{
    struct Case
    {
        const char* text;
        qint64 frequency; // 0: no rank
    };
    const Case cases[] = {
        {"12x", 12},
        {"1 234", 1234},
        {" 7", 7},
        {"7 ", 7},
        {"x", 0},
        {"-5", 0},
        {"$1F", 31},
        {"", 0},
        {"0", 0},
        {"4294967296", 4294967296},
        {"3 000 000 000", 3000000000},
    };
    for (const Case& c : cases) {
        const std::vector<Ranked> ranked = rankFile(QByteArray("w\t") + c.text + "\r\n");
        const std::vector<Ranked> expected =
            c.frequency > 0 ? std::vector<Ranked>{{u"w"_s, c.frequency}} : std::vector<Ranked>{};
        EXPECT_EQ(ranked, expected) << "frequency text '" << c.text << "'";
    }
}

TEST_F(RankFrequencyFile, TypeSplitOverTwoLinesRanksItsSecondPart)
{
    // A type holding CR LF: the first line has no TAB, the second carries the rest, a TAB and the frequency.
    EXPECT_EQ(rankFile("Type\tFrequency\r\nfirst\r\nsecond\t4\r\n\t2\r\n"),
              (std::vector<Ranked>{{u"second"_s, 4}, {QString(), 2}}));
}

// A type may hold a TAB (words delimited by new lines or spaces): the frequency follows the last one.
TEST_F(RankFrequencyFile, TypeHoldingATabIsReadWhole)
{
    EXPECT_EQ(rankFile("Type\tFrequency\r\nxyz\t5\t1\r\nabc\t123\t2\r\n"),
              (std::vector<Ranked>{{u"abc\t123"_s, 2}, {u"xyz\t5"_s, 1}}));
}

TEST_F(RankFrequencyFile, NamesTheLineOfAFrequencyBeyond64Bits)
{
    try {
        rankFile("Type\tFrequency\r\na\t1\r\nb\t99 999 999 999 999 999 999\r\n");
        FAIL() << "no error";
    } catch (const textio::ErrorMessage& error) {
        EXPECT_EQ(error.text(), u"''99999999999999999999'' is not a valid integer value (line 3 of \"%1\")"_s.arg(
                                    QFileInfo(u"Concordance.txt"_s).absoluteFilePath()));
    }
}

using CurveFileReading = ChartData;

TEST_F(CurveFileReading, RowsLieAtMultiplesOfTheDensity)
{
    const CurveFile file = curveFile("10\r\nTTR\tT1TR\t\r\n5\t4\t\r\n9\t6\t\r\n12\t7\t\r\n");
    ASSERT_EQ(file.density, 10u);
    ASSERT_EQ(file.columns.size(), 2u);
    EXPECT_EQ(file.columns[0].name, u"TTR"_s);
    EXPECT_EQ(file.columns[1].name, u"T1TR"_s);
    EXPECT_EQ(xs(file.columns[0]), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(ys(file.columns[0]), (std::vector<double>{5, 9, 12}));
    EXPECT_EQ(ys(file.columns[1]), (std::vector<double>{4, 6, 7}));
    EXPECT_FALSE(file.failure);

    const CurveFile model = curveFile("2\r\nTTR\t\r\n1.000\t\r\n1.625\t\r\n", CurveValues::FloatingPoint);
    EXPECT_EQ(ys(model.columns[0]), (std::vector<double>{1.0, 1.625}));
    EXPECT_EQ(xs(model.columns[0]), (std::vector<double>{2, 4}));
}

TEST_F(CurveFileReading, EveryLineAdvancesTheTokenCountEvenAnEmptyOne)
{
    EXPECT_EQ(xs(curveFile("10\r\nTTR\t\r\n1\t\r\n\r\n3\t\r\n").columns[0]), (std::vector<double>{10, 30}));
    const CurveFile headerOnly = curveFile("10\r\nTTR\tT1TR\t\r\n");
    ASSERT_EQ(headerOnly.columns.size(), 2u);
    EXPECT_TRUE(headerOnly.columns[1].curve.isEmpty());
}

TEST_F(CurveFileReading, EncodingsAndPieceEndsChangeNothing)
{
    const QByteArray ascii = "10\r\nTTR\t\r\n1\t\r\n2\t\r\n";
    for (const QByteArray& bytes :
         {utf8Bom + ascii, utf16LeBom + QByteArray(reinterpret_cast<const char*>(QString::fromLatin1(ascii).utf16()),
                                                   ascii.size() * 2)}) {
        const CurveFile file = curveFile(bytes);
        EXPECT_EQ(file.density, 10u);
        EXPECT_EQ(ys(file.columns.at(0)), (std::vector<double>{1, 2}));
    }

    // The CR of a CR LF is the last byte of the first piece read (1 MiB); the LF must not make a row of its own.
    QByteArray rows = "1\r\nTTR\t\r\n";
    constexpr int rowCount = 300'000;
    for (int i = 0; i < rowCount; ++i)
        rows += "7\t\r\n";
    ASSERT_EQ(rows.at((1 << 20) - 1), '\r');
    const CurveFile file = curveFile(rows);
    const Curve& curve = file.columns.at(0).curve;
    EXPECT_EQ(curve.size(), size_t(rowCount));
    EXPECT_EQ(curve.x(curve.size() - 1), rowCount);
}

TEST_F(CurveFileReading, MemoryFollowsTheValuesNotTheDeclaredColumns)
{
    // 100,000 columns over 100,000 empty rows: room for every row of every column would take 40 GB.
    QByteArray bytes = "10\r\n" + QByteArray("c\t").repeated(100'000) + "\r\n" + QByteArray("\n").repeated(100'000);
    bytes += "5\t\r\n";
    const CurveFile file = curveFile(bytes);
    ASSERT_EQ(file.columns.size(), 100'000u);
    EXPECT_EQ(xs(file.columns[0]), std::vector<double>{1'000'010});
    EXPECT_TRUE(file.columns[1].curve.isEmpty());
}

TEST_F(CurveFileReading, FieldsBeyondTheHeaderAreIgnored)
{
    const CurveFile file = curveFile("10\r\nTTR\tT1TR\t\r\n1\t2\t3\tnot a number\t\r\n4\t5\t\r\n");
    ASSERT_EQ(file.columns.size(), 2u);
    EXPECT_EQ(ys(file.columns[0]), (std::vector<double>{1, 4}));
    EXPECT_EQ(ys(file.columns[1]), (std::vector<double>{2, 5}));
    EXPECT_FALSE(file.failure);
}

TEST_F(CurveFileReading, DataUnderAHeaderWithoutColumnsIsIgnored)
{
    const CurveFile file = curveFile("10\r\n\r\n1\t2\t\r\nx\t\r\n");
    EXPECT_TRUE(file.columns.empty());
    EXPECT_FALSE(file.failure);
}

TEST_F(CurveFileReading, TextAfterTheLastTabStaysWithItsLine)
{
    // The trailing "T2TR" and "9" end no field; they must not be glued to the next line's first field.
    const CurveFile file = curveFile("10\r\nTTR\tT1TR\tT2TR\r\n1\t2\t9\r\n3\t4\t\r\n");
    ASSERT_EQ(file.columns.size(), 2u);
    EXPECT_EQ(ys(file.columns[0]), (std::vector<double>{1, 3}));
    EXPECT_EQ(ys(file.columns[1]), (std::vector<double>{2, 4}));
    EXPECT_FALSE(file.failure);
}

TEST_F(CurveFileReading, BadValueStopsButKeepsWhatWasRead)
{
    const CurveFile file = curveFile("10\r\nTTR\tT1TR\t\r\n1\t2\t\r\n3\tx\t\r\n5\t6\t\r\n");
    EXPECT_EQ(file.failure, u"''x'' is not a valid integer value"_s);
    EXPECT_EQ(ys(file.columns[0]), (std::vector<double>{1, 3}));
    EXPECT_EQ(ys(file.columns[1]), (std::vector<double>{2}));

    const CurveFile model = curveFile("10\r\nTTR\t\r\n1,500\t\r\n", CurveValues::FloatingPoint);
    EXPECT_EQ(model.failure, u"'1,500' is not a valid floating point value"_s);
}

TEST_F(CurveFileReading, BadDensityReadsNothing)
{
    for (const QByteArray& bytes : {QByteArray("ten\r\nTTR\t\r\n1\t\r\n"), QByteArray()}) {
        const CurveFile file = curveFile(bytes);
        const QString line = bytes.isEmpty() ? QString() : u"ten"_s;
        EXPECT_EQ(file.failure, u"''%1'' is not a valid integer value"_s.arg(line));
        EXPECT_FALSE(file.density);
        EXPECT_TRUE(file.columns.empty());
    }
}

TEST(FloatingPointText, AcceptsOnlyDecimalNumbersWithPoint)
{
    struct Case
    {
        const char16_t* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {u"1.5", 1.5},     {u" -2.25 ", -2.25}, {u"+3", 3.0},      {u"1e3", 1000.0},
        {u"2.5E-1", 0.25}, {u".5", 0.5},        {u"5.", 5.0},      {u"1234.568", 1234.568},
        {u"", {}},         {u" ", {}},          {u"1,5", {}},      {u"1.2.3", {}},
        {u".", {}},        {u"e5", {}},         {u"1e", {}},       {u"1e+", {}},
        {u"--1", {}},      {u"1 2", {}},        {u"nan", {}},      {u"inf", {}},
        {u"0x10", {}},     {u"1e999", {}},      {u"\u0661.5", {}},
    };
    for (const Case& c : cases) {
        const std::string text = QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(toFloatingPoint(text), c.value) << text;
    }
}

TEST(SubtractCurves, PairsPointsOfEqualX)
{
    const Curve model = curveOf(10, {1, 2, 3, 4, 5, 6});
    const Curve measured = curveOf(20, {5, 9, 10});
    EXPECT_EQ(xs(subtractCurves(measured, model)), (std::vector<double>{20, 40, 60}));
    EXPECT_EQ(ys(subtractCurves(measured, model)), (std::vector<double>{3, 5, 4}));
    EXPECT_EQ(ys(subtractCurves(model, measured)), (std::vector<double>{-3, -5, -4}));
    EXPECT_TRUE(subtractCurves(Curve(10), model).isEmpty());
    EXPECT_TRUE(subtractCurves(measured, Curve(10)).isEmpty());

    // A row missing from one curve is missing from the difference; densities of 0 put every point at x 0.
    Curve gap(10);
    gap.append(0, 1);
    gap.append(2, 1);
    EXPECT_EQ(xs(subtractCurves(gap, model)), (std::vector<double>{10, 30}));
    EXPECT_EQ(ys(subtractCurves(curveOf(0, {5, 6, 7}), curveOf(0, {1, 1}))), (std::vector<double>{4, 5}));
}

TEST(StandardScores, LeaveOutPointsWithoutDeviation)
{
    // The deviations of 0 lie among large values of their blocks: stored as offsets, they must stay exactly 0.
    Curve deviations(10);
    for (int i = 0; i < 200; ++i)
        deviations.append(i % 70 == 3 ? 0 : 1234.567 + i);
    const Curve differences = curveOf(20, {2471.134, 5, 1239.567});
    EXPECT_EQ(deviations.y(73), 0);
    const Curve scores = standardScores(differences, deviations);
    EXPECT_EQ(xs(scores), (std::vector<double>{20, 60}));
    EXPECT_NEAR(scores.y(0), 2, 1e-9);
    EXPECT_NEAR(scores.y(1), 1, 1e-9);
    // A difference on a coarser grid gets the deviations of its own x.
    const Curve aligned = deviationsAt(differences, deviations);
    EXPECT_EQ(aligned.y(1), 0);
    EXPECT_NEAR(aligned.y(2), 1239.567, 1e-6);
}

TEST(CurveStorage, SpansOfAnyRangeMatchTheValues)
{
    // Large values with fractions, as a model file of a big corpus holds: deep zooms must see them unrounded.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> step(-3, 5);
    std::vector<double> values;
    double value = 3e6;
    Curve curve(10);
    for (int i = 0; i < 200'000; ++i) {
        value += step(random) * 0.001;
        values.push_back(i == 99'999 ? -1e9 : value);
        curve.append(values.back());
    }
    for (size_t i = 0; i < values.size(); ++i)
        ASSERT_NEAR(curve.y(i), values[i], i == 99'999 ? 100 : 1e-6) << i;

    std::uniform_int_distribution<size_t> index(0, values.size());
    for (int trial = 0; trial < 2000; ++trial) {
        size_t first = index(random);
        size_t last = index(random);
        if (first > last)
            std::swap(first, last);
        ValueSpan expected;
        for (size_t i = first; i < last; ++i)
            expected.include(curve.y(i));
        const ValueSpan span = curve.span(first, last);
        ASSERT_EQ(span.min, expected.min) << first << ".." << last;
        ASSERT_EQ(span.max, expected.max) << first << ".." << last;
    }
    EXPECT_EQ(curve.span().min, -1e9);
    EXPECT_EQ(curve.smallestPositive(), std::min(curve.span(0, 99'999).min, curve.span(100'000, values.size()).min));
}

TEST(CurveSampling, EveryColumnKeepsItsPeaksAndDips)
{
    Curve curve(10);
    for (int i = 0; i < 1'000'000; ++i)
        curve.append(i == 123'457 ? 50 : i == 654'321 ? -30 : 0);
    // 500 pixels over the whole curve, and a few pixels far beyond a deep zoom.
    const CurveSamples whole = sampleColumns(curve, 0, 500, [](double pixel) { return 5 + pixel * 20'000; });
    EXPECT_LE(whole.columns.size(), 500u);
    ValueSpan drawn;
    size_t points = 0;
    for (const ColumnSample& column : whole.columns) {
        drawn.include(column.values);
        points += column.count;
    }
    EXPECT_EQ(drawn.max, 50);
    EXPECT_EQ(drawn.min, -30);
    EXPECT_EQ(points, curve.size());

    const CurveSamples zoomed = sampleColumns(curve, 0, 100, [](double pixel) { return 1'234'560 + pixel * 2.5; });
    ASSERT_EQ(zoomed.columns.size(), 25u);
    EXPECT_EQ(zoomed.columns[2].x, 1'234'580);
    EXPECT_EQ(zoomed.columns[2].count, 1u);
    EXPECT_EQ(zoomed.columns[2].values.max, 50);
}

TEST(CurveSampling, BandsReachTheirDeviationsOnBothSides)
{
    const Curve curve = curveOf(10, {100, 110, 130, 120, 150, 160});
    const Curve deviations = curveOf(10, {1, 2, 0, 4, 5, 10});
    // One pixel a point over the points 2..4, two points a pixel over all of them.
    const CurveSamples single = sampleColumns(curve, 0, 3, [](double pixel) { return 25 + pixel * 10; });
    const CurveSamples pairs = sampleColumns(curve, 0, 3, [](double pixel) { return 5 + pixel * 20; });
    struct Edge
    {
        double x;
        double low;
        double high;
    };
    const auto edgesOf = [&](const CurveSamples& samples, bool aroundZero) {
        std::vector<Edge> edges;
        for (const BandColumn& column : bandColumns(curve, deviations, samples, aroundZero))
            edges.push_back({column.x, column.edges.min, column.edges.max});
        return edges;
    };
    const auto expect = [](const std::vector<Edge>& edges, const std::vector<Edge>& expected) {
        ASSERT_EQ(edges.size(), expected.size());
        for (size_t i = 0; i < edges.size(); ++i) {
            EXPECT_EQ(edges[i].x, expected[i].x) << i;
            EXPECT_DOUBLE_EQ(edges[i].low, expected[i].low) << i;
            EXPECT_DOUBLE_EQ(edges[i].high, expected[i].high) << i;
        }
    };
    // The neighbours beyond the samples carry the band to the edges.
    expect(edgesOf(single, false), {{20, 110 - 3.92, 110 + 3.92},
                                    {30, 130, 130},
                                    {40, 120 - 7.84, 120 + 7.84},
                                    {50, 150 - 9.8, 150 + 9.8},
                                    {60, 160 - 19.6, 160 + 19.6}});
    expect(edgesOf(single, true),
           {{20, -3.92, 3.92}, {30, 0, 0}, {40, -7.84, 7.84}, {50, -9.8, 9.8}, {60, -19.6, 19.6}});
    // A column of several points holds the band of each.
    expect(edgesOf(pairs, false),
           {{15, 100 - 3.92, 110 + 3.92}, {35, 120 - 7.84, 130 + 7.84}, {55, 150 - 19.6, 160 + 19.6}});
}
