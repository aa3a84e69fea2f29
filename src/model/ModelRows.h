#pragma once

#include "Model.h"

#include "measure/CurveFileHeader.h"

#include <span>

namespace model {

// Receives the rows of the model in order.
class RowSink
{
public:
    virtual ~RowSink() = default;
    // The type curve (when on), then the classes from `from` on; classes after the last value are zero.
    virtual void addRow(std::span<const double> values) = 0;
};

// The expected values after every `density` tokens. `threads` share the work; the values are the same bits
// for any number of threads.
void computeModelRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density, RowSink& sink,
                      unsigned threads);

} // namespace model
