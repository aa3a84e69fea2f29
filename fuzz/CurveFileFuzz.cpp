// The type-token chart's reading of a curve file: columns as the header names them, rows at multiples of the
// density, and a measured file as the program writes it reads back value for value.
#include "FuzzSupport.h"

#include "charts/CurveFileReader.h"
#include "measure/CurveFileHeader.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// The first byte chooses between the measured file's integers and the model file's decimal numbers.
void checkReading(const QString& path, QByteArrayView bytes)
{
    const charts::CurveValues values =
        !bytes.isEmpty() && bytes[0] % 2 == 0 ? charts::CurveValues::FloatingPoint : charts::CurveValues::Integer;
    const charts::CurveFile file = charts::readCurveFile(path, values);
    if (!file.density) {
        FUZZ_CHECK(file.failure && file.columns.empty());
        return;
    }
    FUZZ_CHECK(file.columns.size() <= size_t(bytes.count('\t')));
    // Unless the density is 0, a column's points lie at rising multiples of the density.
    if (*file.density > 0) {
        for (const charts::CurveColumn& column : file.columns) {
            for (size_t k = 0; k < column.curve.size(); ++k) {
                FUZZ_CHECK(quint64(column.curve.x(k)) % *file.density == 0);
                FUZZ_CHECK(k == 0 || column.curve.x(k - 1) < column.curve.x(k));
            }
        }
    }
    if (file.failure)
        FUZZ_CHECK(file.failure->startsWith(u'\''));
}

// Columns and rows drawn from the bytes, written as the measurement pass writes them.
void checkReadingBack(fuzz::ByteSource& source)
{
    static const QTemporaryDir folder = fuzz::scratchFolder();
    const QString path = folder.filePath(QStringLiteral("M.txt"));
    const quint32 density = 1 + source.byte() % 50;
    const measure::CurveColumns columns{
        .ttr = source.byte() % 2 == 0, .from = source.byte() % 4u, .to = source.byte() % 6u};
    const size_t width = (columns.ttr ? 1 : 0) + columns.classCount();
    std::string text = measure::curveFileHeader(QString::number(density), columns);
    std::vector<std::vector<double>> values(width);
    for (int rows = source.byte(); rows > 0; --rows) {
        for (std::vector<double>& column : values) {
            const quint32 value = source.word() >> (source.byte() % 32);
            column.push_back(value > 0x7FFFFFFF ? 0x7FFFFFFF : value);
            text += std::to_string(quint32(column.back())) + '\t';
        }
        text += "\r\n";
    }
    fuzz::writeFile(path, text);
    const charts::CurveFile file = charts::readCurveFile(path, charts::CurveValues::Integer);
    FUZZ_CHECK(!file.failure && file.density == density && file.columns.size() == width);
    for (size_t c = 0; c < width; ++c) {
        const charts::Curve& curve = file.columns[c].curve;
        FUZZ_CHECK(curve.size() == values[c].size());
        // A chart keeps its values as float offsets from a base shared by a few points: exact to a float's
        // precision of the largest value, which is all a drawing needs.
        double largest = 0;
        for (const double value : values[c])
            largest = std::max(largest, value);
        for (size_t row = 0; row < values[c].size(); ++row)
            FUZZ_CHECK(std::abs(curve.y(row) - values[c][row]) <= largest * 0x1p-23 &&
                       curve.x(row) == double((row + 1) * density));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz::readOrReadBack(data, size, checkReadingBack, checkReading);
}
