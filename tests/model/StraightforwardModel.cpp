#include "StraightforwardModel.h"

#include "model/TermKernels.h"

#include <vector>

namespace model {
namespace {

struct Record
{
    double f = 0.0;
    double typeTerm = 0.0;
    std::vector<double> classTerms;
};

} // namespace

void straightforwardModelRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density,
                              RowSink& sink)
{
    const SubnormalsFlushed flushed;
    const quint64 n = spectrum.N;
    const quint64 from = columns.from;
    const quint64 classCount = from >= 1 && columns.to >= from ? columns.to - from + 1 : 0;

    std::vector<Record> records;
    for (const TInData& in : spectrum.records) {
        Record& record = records.emplace_back(Record{double(in.Freq), double(in.Poc), {}});
        record.classTerms.assign(classCount, 0.0);
        for (quint64 c = 0; c < classCount; ++c) {
            const quint64 i = from + c;
            if (in.Freq < i || i > n)
                continue;
            double term = in.Poc;
            for (quint64 k = 1; k <= i; ++k)
                term = term * (record.f + double(k) - double(i)) / (double(n) + double(k) - double(i));
            record.classTerms[c] = term;
        }
    }

    std::vector<double> row;
    quint64 sinceRow = 0;
    for (quint64 l = 1; l <= n; ++l) {
        const double typeRatio = 1.0 / double(n - l + 1);
        std::vector<double> classRatios(classCount);
        for (quint64 c = 0; c < classCount && from + c < l; ++c)
            classRatios[c] = double(l) / double(l - from - c) / double(n - l + 1);
        for (Record& record : records) {
            if (columns.ttr && record.typeTerm != 0.0)
                record.typeTerm = record.typeTerm * (double(n - l + 1) - record.f) * typeRatio;
            for (quint64 c = 0; c < classCount && from + c < l; ++c) {
                if (record.classTerms[c] != 0.0)
                    record.classTerms[c] =
                        record.classTerms[c] * (double(n + from + c - l + 1) - record.f) * classRatios[c];
            }
        }
        if (++sinceRow != density)
            continue;
        sinceRow = 0;
        row.clear();
        if (columns.ttr) {
            double sum = double(spectrum.V);
            for (const Record& record : records)
                sum -= record.typeTerm;
            row.push_back(sum);
        }
        for (quint64 c = 0; c < classCount; ++c) {
            double sum = 0.0;
            for (const Record& record : records) {
                if (from + c <= l)
                    sum += record.classTerms[c];
            }
            row.push_back(sum);
        }
        sink.addRow(row);
    }
}

} // namespace model
