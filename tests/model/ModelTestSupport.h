#pragma once

#include "model/ModelRows.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace model::test {

// Keeps every row, filled up to the full width of the column range.
class RowCollector final : public RowSink
{
public:
    explicit RowCollector(const measure::CurveColumns& columns);
    void addRow(std::span<const double> values) override;

    std::vector<std::vector<double>> rows;

private:
    size_t m_width = 0;
};

// {frequency, types} pairs in the given order.
Spectrum makeSpectrum(const std::vector<std::pair<quint32, quint32>>& pairs);

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

} // namespace model::test
