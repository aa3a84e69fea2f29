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
    // Between batches, the rows computed so far, handed on or not yet; a long computation is stopped here, by
    // throwing. A batch is kept short enough that this comes several times a second.
    virtual void rowsComputed(quint64 /*rows*/) {}
};

// How the rows are computed: every term stepped through every token, or each row evaluated on its own.
enum class ModelMethod
{
    Stepping,
    Direct,
};

// The cheaper method by an estimate of both costs from the spectrum, the columns and the density alone.
ModelMethod chooseModelMethod(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density);

// The expected values after every `density` tokens, each the exact expectation correctly rounded to the file's
// three decimals except within 10^-9 of a rounding boundary. `threads` share the work; the values are the same
// bits for any number of threads.
void computeModelRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density, RowSink& sink,
                      unsigned threads);

} // namespace model
