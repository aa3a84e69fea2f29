#include "ModelTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace model::test {

RowCollector::RowCollector(const measure::CurveColumns& columns)
    : m_width((columns.ttr ? 1 : 0) +
              (columns.from >= 1 && columns.to >= columns.from ? columns.to - columns.from + 1 : 0))
{}

void RowCollector::addRow(std::span<const double> values)
{
    std::vector<double>& row = rows.emplace_back(values.begin(), values.end());
    row.resize(m_width, 0.0);
}

Spectrum makeSpectrum(const std::vector<std::pair<quint32, quint32>>& pairs)
{
    Spectrum spectrum;
    for (const auto& [frequency, types] : pairs) {
        spectrum.records.push_back({frequency, types});
        spectrum.N += quint64(frequency) * types;
        spectrum.V += types;
    }
    return spectrum;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace model::test
