#include "CurveFileHeader.h"

namespace measure {

std::string curveFileHeader(const QString& densityText, const CurveColumns& columns)
{
    std::string header = densityText.toStdString() + "\r\n";
    if (columns.ttr)
        header += "TTR\t";
    for (quint32 i = 0; i < columns.classCount(); ++i) {
        header += 'T';
        header += std::to_string(columns.from + i);
        header += "TR\t";
    }
    header += "\r\n";
    return header;
}

} // namespace measure
