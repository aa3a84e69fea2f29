#pragma once

#include "ModelRows.h"

#include "measure/CurveFileHeader.h"
#include "textio/FileWriter.h"

namespace model {

// The model file: the curve-file header, then one line of numbers per row.
class ModelFile final : public RowSink
{
public:
    // Starts the file and writes the header; throws textio::ErrorMessage.
    ModelFile(const QString& path, const QString& densityText, const measure::CurveColumns& columns);

    // Fills the columns after the last value with zeros.
    void addRow(std::span<const double> values) override;
    [[nodiscard]] textio::StagedFile finish();

private:
    textio::FileWriter m_writer;
    quint64 m_columns = 0;
};

} // namespace model
