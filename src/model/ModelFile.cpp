#include "ModelFile.h"

#include "ModelNumber.h"

#include <string_view>

namespace model {

ModelFile::ModelFile(const QString& path, const QString& densityText, const measure::CurveColumns& columns)
    : m_writer(path),
      m_columns((columns.ttr ? 1 : 0) + quint64(columns.classCount()))
{
    m_writer.write(measure::curveFileHeader(densityText, columns));
}

void ModelFile::addRow(std::span<const double> values)
{
    char text[maxModelNumberLength + 1];
    for (const double value : values) {
        char* end = formatModelNumber(value, text);
        *end++ = '\t';
        m_writer.write(std::string_view(text, end));
    }
    for (quint64 column = values.size(); column < m_columns; ++column)
        m_writer.write("0.000\t");
    m_writer.write("\r\n");
}

textio::StagedFile ModelFile::finish()
{
    return m_writer.finish();
}

} // namespace model
