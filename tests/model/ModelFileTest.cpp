#include "ModelTestSupport.h"
#include "WorkingDirectory.h"

#include "textio/ErrorMessage.h"
#include "model/Model.h"

#include <QDir>

#include <gtest/gtest.h>

namespace model::test {
namespace {

struct FileCase
{
    const char* name;
    Spectrum spectrum;
    measure::CurveSettings settings;
    QByteArray expected;
};

class ModelFile : public testing::TestWithParam<FileCase>
{
};

TEST_P(ModelFile, HoldsHeaderAndOneRowPerWholeBlock)
{
    const ScopedTemporaryWorkingDirectory directory;
    ComputeModel(GetParam().spectrum, GetParam().settings, QStringLiteral("C.txt")).commit();
    EXPECT_EQ(readBytes(QStringLiteral("C.txt")), GetParam().expected);
}

measure::CurveSettings settings(bool ttr, quint32 from, quint32 to, quint32 density)
{
    return {
        .columns = {.ttr = ttr, .from = from, .to = to}, .density = density, .densityText = QString::number(density)};
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ModelFile,
    testing::Values(
        FileCase{"TwoHapaxes", makeSpectrum({{1, 2}}), settings(true, 1, 1, 1),
                 "1\r\nTTR\tT1TR\t\r\n1.000\t1.000\t\r\n2.000\t2.000\t\r\n"},
        FileCase{"TextABA", makeSpectrum({{1, 1}, {2, 1}}), settings(true, 1, 2, 1),
                 "1\r\nTTR\tT1TR\tT2TR\t\r\n1.000\t1.000\t0.000\t\r\n1.667\t1.333\t0.333\t\r\n"
                 "2.000\t1.000\t1.000\t\r\n"},
        FileCase{"ClassesNotReachedOrBeyondN", makeSpectrum({{1, 1}, {2, 1}}), settings(true, 3, 4, 1),
                 "1\r\nTTR\tT3TR\tT4TR\t\r\n1.000\t0.000\t0.000\t\r\n1.667\t0.000\t0.000\t\r\n"
                 "2.000\t0.000\t0.000\t\r\n"},
        FileCase{"DensityTwo", makeSpectrum({{1, 2}, {3, 1}}), settings(true, 1, 3, 2),
                 "2\r\nTTR\tT1TR\tT2TR\tT3TR\t\r\n1.700\t1.400\t0.300\t0.000\t\r\n2.600\t1.600\t0.600\t0.400\t\r\n"},
        FileCase{"NoClasses", makeSpectrum({{1, 2}, {3, 1}}), settings(true, 0, 4, 1),
                 "1\r\nTTR\t\r\n1.000\t\r\n1.700\t\r\n2.200\t\r\n2.600\t\r\n3.000\t\r\n"},
        FileCase{"PartialBlockGivesNoRow", makeSpectrum({{5, 5}}), settings(false, 5, 5, 10),
                 "10\r\nT5TR\t\r\n0.024\t\r\n1.459\t\r\n"},
        FileCase{"NoColumnsStillOneLinePerRow", makeSpectrum({{1, 2}, {3, 1}}), settings(false, 0, 0, 2),
                 "2\r\n\r\n\r\n\r\n"},
        FileCase{"EmptySpectrum", Spectrum{}, settings(true, 1, 2, 1), "1\r\nTTR\tT1TR\tT2TR\t\r\n"},
        FileCase{"DensityAboveN", makeSpectrum({{2, 1}}), settings(true, 1, 1, 3), "3\r\nTTR\tT1TR\t\r\n"},
        FileCase{"DensityTextAsTyped",
                 makeSpectrum({{2, 1}}),
                 {.columns = {.ttr = true, .from = 2, .to = 1}, .density = 2, .densityText = QStringLiteral("$2")},
                 "$2\r\nTTR\t\r\n1.000\t\r\n"}),
    [](const testing::TestParamInfo<FileCase>& info) { return info.param.name; });

TEST(ModelFile, UnwritablePathThrowsCannotCreate)
{
    const ScopedTemporaryWorkingDirectory directory;
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("folder")));
    for (const QString& path : {QStringLiteral("missing/C.txt"), QStringLiteral("folder")}) {
        try {
            ComputeModel(makeSpectrum({{1, 2}}), settings(true, 1, 1, 1), path).commit();
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const textio::ErrorMessage& error) {
            EXPECT_TRUE(error.text().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)))
                << error.text().toStdString();
        }
    }
}

} // namespace
} // namespace model::test
