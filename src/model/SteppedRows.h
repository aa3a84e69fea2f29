#pragma once

#include "ModelRows.h"

namespace model {

// The expected values after every `density` tokens, every term moved on one token at a time by the ratio of
// its binomial coefficients (the cost follows N × J × columns, whatever the density). `threads` share the work;
// the values are the same bits for any number of threads. Each value is within steppingErrorBound of the exact
// expectation.
void computeSteppedRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density, RowSink& sink,
                        unsigned threads);

// A bound on the rounding error of a stepped value after `drawn` tokens: every step of a term rounds at most
// three times on the type curve and four times in a class (its start included), and a row adds `records` terms.
double steppingErrorBound(double value, quint64 drawn, bool typeCurve, double types, size_t records);

} // namespace model
