#include "WorkingDirectory.h"

#include "measure/PlatformError.h"
#include "zipfr/ZipfrFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace zipfr {
namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The table read.delim sees: lines at LF, fields at TAB.
std::vector<std::vector<std::string>> table(const QString& path)
{
    std::vector<std::vector<std::string>> rows;
    const std::string text = contents(path).toStdString();
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        std::vector<std::string>& fields = rows.emplace_back();
        size_t from = 0;
        for (size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
            fields.push_back(line.substr(from, tab - from));
        fields.push_back(line.substr(from));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return rows;
}

// "V" and 3 give "V3" (built step by step: GCC 12 warns of an overlap that is not there in "V" + text).
std::string column(const char* stem, quint32 m)
{
    std::string name = stem;
    name += std::to_string(m);
    return name;
}

std::optional<double> number(const std::string& text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

TEST(ZipfrFiles, SpectrumAndTypeListInTheirColumns)
{
    const ScopedTemporaryWorkingDirectory directory;
    const FileNames names = fileNames(QStringLiteral("out/run.1"));
    EXPECT_EQ(names.spectrum, QStringLiteral("out/run.1.spc"));
    EXPECT_EQ(names.typeList, QStringLiteral("out/run.1.tfl"));
    EXPECT_EQ(names.measured, QStringLiteral("out/run.1.emp.vgc"));
    EXPECT_EQ(names.model, QStringLiteral("out/run.1.exp.vgc"));

    model::Spectrum spectrum;
    spectrum.records = {{1, 3}, {2, 1}, {70000, 2}};
    writeSpectrum(QStringLiteral("r.spc"), spectrum);
    EXPECT_EQ(contents(QStringLiteral("r.spc")), "m\tVm\n1\t3\n2\t1\n70000\t2\n");

    const QString types[] = {
        QStringLiteral("the"),    QStringLiteral("a\tb"), QStringLiteral("c\r\nd"), QStringLiteral("C:\\t"), QString(),
        QStringLiteral("\"#\xe9")};
    const std::vector<TypeFrequency> list{{types[0], 7}, {types[1], 2}, {types[2], 1},
                                          {types[3], 1}, {types[4], 3}, {types[5], 2}};
    writeTypeList(QStringLiteral("r.tfl"), list);
    EXPECT_EQ(contents(QStringLiteral("r.tfl")),
              "f\ttype\n7\tthe\n2\ta\\tb\n1\tc\\r\\nd\n1\tC:\\\\t\n3\t\n2\t\"#\xc3\xa9\n");
}

// The rules read.vgc applies: N and V, spectrum elements V1..Vm without a gap, variances VV exactly with
// variances VV1..VVm of the same classes; and each row as many numbers as the header has names.
TEST(ZipfrFiles, GrowthCurvesKeepTheColumnRulesOfZipfr)
{
    const ScopedTemporaryWorkingDirectory directory;
    const struct
    {
        measure::CurveColumns columns;
        std::optional<quint32> classes;
    } cases[] = {
        {{true, 1, 4}, 4}, {{true, 1, 12}, 9}, {{true, 2, 4}, 0}, {{true, 0, 4}, 0}, {{false, 1, 4}, std::nullopt},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(growthClasses(c.columns), c.classes);
        if (!c.classes)
            continue;
        for (const bool model : {false, true}) {
            GrowthCurve curve{.density = 10, .classes = *c.classes, .rows = {}, .variances = {}};
            for (int r = 0; r < 3; ++r) {
                // A run's row: the type curve, then its classes (here ending early, the rest being zero).
                curve.rows.push_back({10.0 * (r + 1) - 0.25, 3.5, 1.0 / 3});
                if (model)
                    curve.variances.push_back({0.1, 1e-05, 2.0});
            }
            writeGrowthCurve(QStringLiteral("r.vgc"), curve);
            const auto rows = table(QStringLiteral("r.vgc"));
            const std::vector<std::string>& header = rows.front();
            const auto has = [&](const std::string& name) {
                return std::find(header.begin(), header.end(), name) != header.end();
            };
            EXPECT_TRUE(has("N") && has("V"));
            quint32 elements = 0;
            while (has(column("V", elements + 1)))
                ++elements;
            EXPECT_EQ(elements, *c.classes);
            for (quint32 m = elements + 2; m <= 9; ++m)
                EXPECT_FALSE(has(column("V", m)));
            EXPECT_EQ(has("VV"), model);
            for (quint32 m = 1; m <= 9; ++m)
                EXPECT_EQ(has(column("VV", m)), model && m <= elements);
            ASSERT_EQ(rows.size(), 4u);
            for (size_t r = 1; r < rows.size(); ++r) {
                ASSERT_EQ(rows[r].size(), header.size());
                for (const std::string& field : rows[r])
                    EXPECT_TRUE(number(field)) << field;
                EXPECT_EQ(rows[r][0], std::to_string(10 * r));
            }
            EXPECT_EQ(rows[1][1], "9.75");
            if (*c.classes >= 2) {
                EXPECT_EQ(rows[1][3], "0.3333333333333333");
            }
            if (model) {
                EXPECT_EQ(rows[1][2 + elements], "0.1");
                if (elements >= 1) {
                    EXPECT_EQ(rows[1][3 + elements], "1e-05");
                }
            }
        }
    }
}

TEST(ZipfrFiles, UnwritablePathThrowsCannotCreate)
{
    const ScopedTemporaryWorkingDirectory directory;
    try {
        writeSpectrum(QStringLiteral("missing/r.spc"), model::Spectrum{});
        ADD_FAILURE() << "no error";
    } catch (const measure::PlatformError& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Cannot create file \"missing/r.spc\". ")))
            << error.message().toStdString();
    }
}

} // namespace
} // namespace zipfr
