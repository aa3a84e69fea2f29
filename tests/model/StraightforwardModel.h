#pragma once

#include "model/ModelRows.h"

namespace model {

// The model computed the plain way, one record at a time with every working term in its record: the reference
// the optimised computation must match bit for bit (where no class term underflows) and the baseline of the
// benchmark. It gives every column of the range.
void straightforwardModelRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density,
                              RowSink& sink);

} // namespace model
