#pragma once

#include "Model.h"

#include <cstddef>
#include <vector>

namespace model {

// A class term that starts counting after its class is reached (see ClassTermStart).
struct PendingTerm
{
    quint64 step = 0;
    size_t slot = 0;
    double value = 0.0;
};

// The working terms of one column of the model (the type curve or one frequency class) for the records that
// can still contribute to it, as arrays in the spectrum's order. A record leaves the lane once its term is +0
// for good, which changes no sum: adding or subtracting +0 leaves a sum that is never -0 unchanged.
struct Lane
{
    quint64 cls = 0; // 0: the type curve
    std::vector<double> frequencies;
    std::vector<double> terms;
    std::vector<PendingTerm> pending; // ascending step

    size_t size() const { return terms.size(); }
    // The type curve starts from V and subtracts each term; a class starts from 0 and adds each one.
    bool subtracts() const { return cls == 0; }

    // Drops the records whose term is +0 and has no later start; call with the last step done.
    void compact(quint64 lastStep);
};

// One lane per column that can differ from zero: the type curve when `ttr`, then the classes from..to that
// some record reaches (those after the last lane are zero at every step).
std::vector<Lane> buildLanes(const Spectrum& spectrum, bool ttr, quint32 from, quint32 to);

} // namespace model
