#pragma once

namespace model {

// Longest text formatModelNumber writes: sign, 309 integer digits, point, three decimals.
inline constexpr int maxModelNumberLength = 1 + 309 + 1 + 3;

// Writes `value` with exactly three decimals after a "." and returns the end. The rounding is half away from
// zero, decided on the value's 18-significant-digit decimal expansion; magnitudes below 0.001 print "0.000".
char* formatModelNumber(double value, char* out);

// Whether every number within `error` of `value` prints as `value` does.
bool printsAlikeWithin(double value, double error);

} // namespace model
