#pragma once

#include <QtGlobal>

#include <optional>

namespace model {

// Where the term of one record in frequency class i begins to count, and its value there. Normally that is
// step i with n × C(f, i) / C(N, i) formed as a running product. When that product is zero or subnormal
// although the class can occur, the term starts at the first step where it is a normal double, from its direct
// evaluation there, and is zero before it.
struct ClassTermStart
{
    quint64 step = 0;
    double value = 0.0;
};

// Nothing when the term is zero at every step.
std::optional<ClassTermStart> classTermStart(quint64 frequency, quint32 types, quint64 tokens, quint64 cls);

} // namespace model
