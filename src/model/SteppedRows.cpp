#include "SteppedRows.h"

#include "ModelLanes.h"
#include "TermKernels.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <thread>

namespace model {
namespace {

// An epoch is the stretch of steps between two re-partitions of the work: dead records are dropped and the
// threads are given new shares at its end.
constexpr quint64 stepsPerEpoch = 1 << 14;
constexpr size_t valuesPerEpoch = size_t(1) << 20;
// An epoch costs some 20 ms of one core at the most, so that a stop is heard in time between epochs: a term
// moves on by a token in some 0.07 ns, a column's factors in some 13 ns. How the steps are cut into epochs
// changes no bit.
constexpr double picosecondsPerEpoch = 2e10;
constexpr double termStepPicoseconds = 70;
constexpr double columnStepPicoseconds = 13'000;
// Term steps worth a thread of their own.
constexpr quint64 workPerThread = 1 << 20;

struct Epoch
{
    quint64 tokens = 0;
    double types = 0.0;
    quint64 density = 1;
    quint64 firstRow = 0; // rows counted from 0 over the whole text; row r ends at step (r + 1) × density
    quint64 rows = 0;
    double* values = nullptr; // row-major, `columns` values a row, epoch row 0 first
    size_t columns = 0;

    quint64 blocks() const { return (rows + rowsPerBlock - 1) / rowsPerBlock; }
    quint64 rowStep(quint64 epochRow) const { return (firstRow + epochRow + 1) * density; }
    quint64 lastStep() const { return rowStep(rows - 1); }
};

// One thread's share of one lane over an epoch. A lane split between threads keeps its sums in array order:
// the later piece continues each row from the partial sums of the piece before it.
struct Piece
{
    size_t lane = 0;
    size_t begin = 0;
    size_t end = 0;
    Piece* predecessor = nullptr;
    bool hasSuccessor = false;
    std::vector<double> snapshots; // the piece's terms at each row of the current block, row after row
    std::atomic<quint64> blocksDone{0};

    size_t size() const { return end - begin; }
    bool holds(size_t slot) const { return slot >= begin && slot < end; }
};

void awaitBlock(const Piece& piece, quint64 block)
{
    for (quint64 done = piece.blocksDone.load(std::memory_order_acquire); done <= block;
         done = piece.blocksDone.load(std::memory_order_acquire))
        piece.blocksDone.wait(done, std::memory_order_acquire);
}

class PieceRunner
{
public:
    PieceRunner(Lane& lane, Piece& piece, const Epoch& epoch)
        : m_lane(lane),
          m_piece(piece),
          m_epoch(epoch)
    {}

    // The terms move from the lane through the block's rows; the last row is the lane's state for the next block.
    void runBlock(quint64 block)
    {
        const quint64 firstRow = block * rowsPerBlock;
        const quint64 rows = std::min<quint64>(rowsPerBlock, m_epoch.rows - firstRow);
        quint64 step = m_epoch.rowStep(firstRow) - m_epoch.density + 1;
        m_pending = std::partition_point(m_lane.pending.begin(), m_lane.pending.end(),
                                         [&](const PendingTerm& p) { return p.step < step; });
        skipOtherPieces();
        const double* source = m_lane.terms.data() + m_piece.begin;
        for (quint64 r = 0; r < rows; ++r) {
            double* target = m_piece.snapshots.data() + r * m_piece.size();
            const quint64 rowStep = m_epoch.rowStep(firstRow + r);
            while (step <= rowStep) {
                const quint64 stop =
                    m_pending != m_lane.pending.end() && m_pending->step <= rowStep ? m_pending->step : rowStep;
                advance(step, stop, source, target);
                source = target;
                for (; m_pending != m_lane.pending.end() && m_pending->step == stop; ++m_pending, skipOtherPieces())
                    target[m_pending->slot - m_piece.begin] = m_pending->value;
                step = stop + 1;
            }
        }
        std::copy(source, source + m_piece.size(), m_lane.terms.data() + m_piece.begin);
        writeSums(block, firstRow, rows);
    }

private:
    void skipOtherPieces()
    {
        while (m_pending != m_lane.pending.end() && !m_piece.holds(m_pending->slot))
            ++m_pending;
    }

    // Steps first..last, those at or before the lane's class excepted (its terms start there). Long runs go in
    // pieces, so the factors stay in the first-level cache.
    void advance(quint64 first, quint64 last, const double* source, double* target)
    {
        constexpr quint64 stepsPerCall = 256;
        StepFactors factors[stepsPerCall];
        first = std::max(first, m_lane.cls + 1);
        if (first > last)
            advanceTerms(source, target, nullptr, m_piece.size(), {});
        for (quint64 step = first; step <= last; step += stepsPerCall) {
            const size_t count = std::min(stepsPerCall, last - step + 1);
            stepFactors(m_lane.cls, m_epoch.tokens, step, count, factors);
            advanceTerms(source, target, m_lane.frequencies.data() + m_piece.begin, m_piece.size(),
                         std::span(factors, count));
            source = target;
        }
    }

    void writeSums(quint64 block, quint64 firstRow, quint64 rows)
    {
        double sums[rowsPerBlock] = {};
        double* values = m_epoch.values + firstRow * m_epoch.columns + m_piece.lane;
        if (m_piece.predecessor)
            awaitBlock(*m_piece.predecessor, block);
        for (quint64 r = 0; r < rows; ++r)
            sums[r] = m_piece.predecessor ? values[r * m_epoch.columns] : m_lane.subtracts() ? m_epoch.types : 0.0;
        sumRows(m_piece.snapshots.data(), m_piece.size(), m_lane.subtracts(), sums);
        // A class not reached yet is 0, whatever its start terms.
        for (quint64 r = 0; r < rows; ++r)
            values[r * m_epoch.columns] = m_epoch.rowStep(firstRow + r) >= m_lane.cls ? sums[r] : 0.0;
        if (m_piece.hasSuccessor) {
            m_piece.blocksDone.store(block + 1, std::memory_order_release);
            m_piece.blocksDone.notify_all();
        }
    }

    Lane& m_lane;
    Piece& m_piece;
    const Epoch& m_epoch;
    std::vector<PendingTerm>::const_iterator m_pending;
};

// Cuts the records of the lanes, laid end to end, into `threads` runs of equal work. Each thread first does
// the piece another thread continues and last the piece that continues another's, so no thread waits long.
std::vector<std::vector<Piece*>> sharePieces(std::vector<Lane>& lanes, const Epoch& epoch, unsigned threads,
                                             std::deque<Piece>& pieces)
{
    std::vector<size_t> active;
    quint64 total = 0;
    for (size_t k = 0; k < lanes.size(); ++k) {
        if (lanes[k].cls <= epoch.lastStep()) {
            active.push_back(k);
            total += std::max<size_t>(lanes[k].size(), 1);
        }
    }
    const quint64 steps = epoch.rows * epoch.density;
    threads = static_cast<unsigned>(std::clamp<quint64>(total * steps / workPerThread, 1, threads));

    std::vector<std::vector<Piece*>> shares(threads);
    quint64 offset = 0;
    for (const size_t k : active) {
        const quint64 weight = std::max<size_t>(lanes[k].size(), 1);
        Piece* previous = nullptr;
        for (unsigned t = 0; t < threads; ++t) {
            const quint64 begin = std::max(total * t / threads, offset);
            const quint64 end = std::min(total * (t + 1) / threads, offset + weight);
            if (begin >= end)
                continue;
            Piece& piece = pieces.emplace_back();
            piece.lane = k;
            piece.begin = std::min<size_t>(begin - offset, lanes[k].size());
            piece.end = std::min<size_t>(end - offset, lanes[k].size());
            piece.snapshots.resize(piece.size() * rowsPerBlock);
            piece.predecessor = previous;
            if (previous)
                previous->hasSuccessor = true;
            previous = &piece;
            shares[t].push_back(&piece);
        }
        offset += weight;
    }
    for (auto& share : shares) {
        std::stable_sort(share.begin(), share.end(), [](const Piece* a, const Piece* b) {
            const auto rank = [](const Piece* p) {
                return p->predecessor ? 2 : p->hasSuccessor ? 0 : 1;
            };
            return rank(a) < rank(b);
        });
    }
    return shares;
}

void runEpoch(std::vector<Lane>& lanes, const Epoch& epoch, unsigned threads)
{
    std::deque<Piece> pieces;
    const auto shares = sharePieces(lanes, epoch, threads, pieces);
    const auto work = [&](const std::vector<Piece*>& share) {
        const SubnormalsFlushed flushed;
        std::vector<PieceRunner> runners;
        for (Piece* piece : share)
            runners.emplace_back(lanes[piece->lane], *piece, epoch);
        for (quint64 block = 0; block < epoch.blocks(); ++block) {
            for (PieceRunner& runner : runners)
                runner.runBlock(block);
        }
    };
    std::vector<std::jthread> helpers;
    for (size_t t = 1; t < shares.size(); ++t)
        helpers.emplace_back(work, std::cref(shares[t]));
    work(shares[0]);
}

} // namespace

void computeSteppedRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density, RowSink& sink,
                        unsigned threads)
{
    if (density == 0 || spectrum.N < density)
        return;
    std::vector<Lane> lanes = buildLanes(spectrum, columns.ttr, columns.from, columns.to);
    // Steps after the last whole block of `density` tokens give no row, so they are not taken.
    const quint64 totalRows = spectrum.N / density;
    const size_t width = std::max<size_t>(lanes.size(), 1);
    double terms = 0;
    for (const Lane& lane : lanes)
        terms += static_cast<double>(lane.size());
    const quint64 affordableSteps = static_cast<quint64>(
        picosecondsPerEpoch / (terms * termStepPicoseconds + static_cast<double>(width) * columnStepPicoseconds));
    const quint64 blocksPerEpoch = std::max<quint64>(
        1,
        std::min<quint64>(std::min(stepsPerEpoch, affordableSteps) / density, valuesPerEpoch / width) / rowsPerBlock);
    const quint64 rowsPerEpoch = std::min(blocksPerEpoch * rowsPerBlock, totalRows);
    std::vector<double> values(rowsPerEpoch * lanes.size());

    Epoch epoch{.tokens = spectrum.N,
                .types = static_cast<double>(spectrum.V),
                .density = density,
                .values = values.data(),
                .columns = lanes.size()};
    for (epoch.firstRow = 0; epoch.firstRow < totalRows; epoch.firstRow += epoch.rows) {
        epoch.rows = std::min(rowsPerEpoch, totalRows - epoch.firstRow);
        std::fill(values.begin(), values.end(), 0.0);
        runEpoch(lanes, epoch, std::max(threads, 1u));
        for (quint64 row = 0; row < epoch.rows; ++row)
            sink.addRow(std::span<const double>(values.data() + row * lanes.size(), lanes.size()));
        for (Lane& lane : lanes)
            lane.compact(epoch.lastStep());
        sink.rowsComputed(epoch.firstRow + epoch.rows);
    }
}

double steppingErrorBound(double value, quint64 drawn, bool typeCurve, double types, size_t records)
{
    // γ(k) bounds the relative error of k roundings of u = 2^-53. A term's start counts as steps too: a start
    // product has two roundings a factor, and a start evaluated at a step s is within 28 u, below the 4 s of the
    // steps it stands for (its class, and so s, is at least 17 wherever the product underflows).
    const auto gamma = [](double k) {
        return k * 0x1p-53 / (1 - k * 0x1p-53);
    };
    const double n = static_cast<double>(drawn);
    const double count = static_cast<double>(records);
    // Terms that underflowed are off by less than this altogether.
    const double underflow = 0x1p-1000;
    // The type curve starts from V and subtracts the terms, whose sum is V − value; a class adds them from 0.
    // The factor 1.01 covers the bound's own use of the rounded value.
    if (typeCurve)
        return 1.01 * (gamma(3 * n) * std::max(types - value, 0.0) + gamma(count) * 2 * types) + underflow;
    return 1.01 * (gamma(4 * n) + gamma(count)) * std::max(value, 0.0) + underflow;
}

} // namespace model
