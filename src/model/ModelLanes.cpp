#include "ModelLanes.h"

#include "ClassTermStart.h"

#include <algorithm>

namespace model {

void Lane::compact(quint64 lastStep)
{
    const auto firstLater =
        std::partition_point(pending.begin(), pending.end(), [&](const PendingTerm& p) { return p.step <= lastStep; });
    pending.erase(pending.begin(), firstLater);

    std::vector<char> waiting(size(), 0);
    for (const PendingTerm& p : pending)
        waiting[p.slot] = 1;
    std::vector<size_t> newSlot(size());
    size_t kept = 0;
    for (size_t j = 0; j < size(); ++j) {
        newSlot[j] = kept;
        if (terms[j] != 0.0 || waiting[j]) {
            terms[kept] = terms[j];
            frequencies[kept] = frequencies[j];
            ++kept;
        }
    }
    terms.resize(kept);
    frequencies.resize(kept);
    for (PendingTerm& p : pending)
        p.slot = newSlot[p.slot];
}

std::vector<Lane> buildLanes(const Spectrum& spectrum, bool ttr, quint32 from, quint32 to)
{
    std::vector<Lane> lanes;
    if (ttr) {
        Lane& lane = lanes.emplace_back();
        for (const TInData& record : spectrum.records) {
            lane.frequencies.push_back(record.Freq);
            lane.terms.push_back(record.Poc);
        }
    }
    if (from < 1 || to < from)
        return lanes;

    quint64 highest = 0;
    for (const TInData& record : spectrum.records)
        highest = std::max(highest, record.Freq);
    const quint64 last = std::min<quint64>({to, highest, spectrum.N});
    for (quint64 cls = from; cls <= last; ++cls) {
        Lane& lane = lanes.emplace_back();
        lane.cls = cls;
        for (const TInData& record : spectrum.records) {
            const auto start = classTermStart(record.Freq, record.Poc, spectrum.N, cls);
            if (!start)
                continue;
            const bool startsLater = start->step > cls;
            if (startsLater)
                lane.pending.push_back({start->step, lane.size(), start->value});
            lane.frequencies.push_back(record.Freq);
            lane.terms.push_back(startsLater ? 0.0 : start->value);
        }
        std::stable_sort(lane.pending.begin(), lane.pending.end(),
                         [](const PendingTerm& a, const PendingTerm& b) { return a.step < b.step; });
    }
    return lanes;
}

} // namespace model
