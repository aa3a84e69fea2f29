#pragma once

#include "ModelRows.h"

namespace model {

// The standard deviations of the model's values under random order, for the rows and columns computeModelRows
// gives (the type curve when on, then the classes from `from` on; classes after the last value are zero). Each
// prints as the exact deviation does, unless that lies within 10^-9 of a rounding boundary of the three
// decimals. `threads` share the work; the values are the same bits for any number of threads.
void computeDeviationRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density,
                          RowSink& sink, unsigned threads);

} // namespace model
