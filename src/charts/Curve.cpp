#include "Curve.h"

#include <cmath>
#include <numeric>
#include <optional>

namespace charts {

void Curve::append(quint64 row, double y)
{
    Q_ASSERT(m_size == 0 || row > this->row(m_size - 1));
    if (m_size == 0) {
        m_firstRow = row;
    } else if (m_rows.empty() && row != m_firstRow + m_size) {
        m_rows.reserve(m_size + 1);
        for (size_t index = 0; index < m_size; ++index)
            m_rows.push_back(m_firstRow + index);
    }
    if (!m_rows.empty())
        m_rows.push_back(row);

    const size_t within = m_size % chunkPoints;
    if (within == 0) {
        auto& chunk = m_chunks.emplace_back(std::make_unique<Chunk>());
        // The first chunk grows as it needs, so a short curve stays small.
        if (m_chunks.size() > 1) {
            chunk->offsets.reserve(chunkPoints);
            chunk->bases.reserve(chunkBlocks);
            chunk->blockSpans.reserve(chunkBlocks);
        }
    }
    Chunk& chunk = *m_chunks.back();
    const bool blockStarts = within % blockPoints == 0;
    // A base a float can hold gives back exactly the values a float can hold, 0 among them: a standard
    // deviation of 0 must stay 0 beside large ones, or a division by it would not be seen as one.
    if (blockStarts)
        chunk.bases.push_back(double(float(y)));
    const float offset = float(y - chunk.bases.back());
    chunk.offsets.push_back(offset);
    if (blockStarts) {
        chunk.blockSpans.push_back({offset, offset});
    } else {
        OffsetSpan& block = chunk.blockSpans.back();
        block.min = std::min(block.min, offset);
        block.max = std::max(block.max, offset);
    }

    ++m_size;
    m_span.include(y);
    if (y > 0)
        m_smallestPositive = std::min(m_smallestPositive, y);
    if (m_size % blockPoints == 0)
        finishBlock(m_size / blockPoints - 1);
}

void Curve::finishBlock(size_t block)
{
    // A node of level k is made when the last of its 2^k blocks is complete, from the two nodes below it.
    for (size_t level = 1; (block + 1) % (size_t(1) << level) == 0; ++level) {
        const size_t node = block >> level;
        ValueSpan span = level == 1 ? blockSpan(2 * node) : m_levels[level - 2][2 * node];
        span.include(level == 1 ? blockSpan(2 * node + 1) : m_levels[level - 2][2 * node + 1]);
        if (m_levels.size() < level)
            m_levels.emplace_back();
        m_levels[level - 1].push_back(span);
    }
}

double Curve::y(size_t index) const
{
    const Chunk& chunk = *m_chunks[index / chunkPoints];
    const size_t within = index % chunkPoints;
    return chunk.bases[within / blockPoints] + double(chunk.offsets[within]);
}

ValueSpan Curve::blockSpan(size_t block) const
{
    const Chunk& chunk = *m_chunks[block / chunkBlocks];
    const size_t within = block % chunkBlocks;
    const double base = chunk.bases[within];
    return {base + double(chunk.blockSpans[within].min), base + double(chunk.blockSpans[within].max)};
}

size_t Curve::indexOfRow(quint64 row) const
{
    if (m_rows.empty())
        return row <= m_firstRow ? 0 : size_t(std::min<quint64>(row - m_firstRow, m_size));
    return size_t(std::lower_bound(m_rows.begin(), m_rows.end(), row) - m_rows.begin());
}

size_t Curve::indexAtOrAfter(double xValue) const
{
    if (m_size == 0 || !(xValue > x(0)))
        return 0;
    if (m_step == 0)
        return m_size;
    // The smallest row with (row + 1) * step >= x.
    const double wanted = std::ceil(xValue / double(m_step)) - 1;
    if (!(wanted <= double(row(m_size - 1))))
        return m_size;
    return indexOfRow(quint64(wanted));
}

void Curve::includePoints(ValueSpan& span, size_t first, size_t last) const
{
    // Within a block, as offsets from its one base: the bulk of the work when a redraw gathers pixel columns.
    while (first < last) {
        const Chunk& chunk = *m_chunks[first / chunkPoints];
        const size_t within = first % chunkPoints;
        const size_t count = std::min(last - first, blockPoints - within % blockPoints);
        const auto [low, high] = std::minmax_element(chunk.offsets.begin() + qsizetype(within),
                                                     chunk.offsets.begin() + qsizetype(within + count));
        const double base = chunk.bases[within / blockPoints];
        span.include(base + double(*low));
        span.include(base + double(*high));
        first += count;
    }
}

ValueSpan Curve::span(size_t first, size_t last) const
{
    ValueSpan result;
    last = std::min(last, m_size);
    const size_t firstBlock = (first + blockPoints - 1) / blockPoints;
    const size_t lastBlock = last / blockPoints;
    if (firstBlock >= lastBlock) {
        includePoints(result, first, last);
        return result;
    }
    includePoints(result, first, firstBlock * blockPoints);
    // Whole blocks in as few nodes as the pyramid allows: each step takes the largest aligned node that fits.
    for (size_t block = firstBlock; block < lastBlock;) {
        size_t level = 0;
        while (level < m_levels.size() && block % (size_t(2) << level) == 0 &&
               block + (size_t(2) << level) <= lastBlock)
            ++level;
        result.include(level == 0 ? blockSpan(block) : m_levels[level - 1][block >> level]);
        block += size_t(1) << level;
    }
    includePoints(result, lastBlock * blockPoints, last);
    return result;
}

namespace {

// The points of `a` and `b` of equal x, each made one point by `combine` or left out when it gives nothing. The
// common x lie on the grid of the least common multiple of the steps.
template <typename Combine>
Curve combineCurves(const Curve& a, const Curve& b, Combine combine)
{
    const quint64 step = std::lcm(a.step(), b.step());
    Curve result(step);
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const quint64 aX = (a.row(i) + 1) * a.step();
        const quint64 bX = (b.row(j) + 1) * b.step();
        if (aX == bX) {
            // On a grid of step 0 every point lies at x 0; each pair still gets its own point.
            const quint64 row = step == 0 ? i : aX / step - 1;
            if (const std::optional<double> y = combine(a.y(i), b.y(j)))
                result.append(row, *y);
            ++i;
            ++j;
        } else if (aX > bX) {
            ++j;
        } else {
            ++i;
        }
    }
    return result;
}

} // namespace

Curve subtractCurves(const Curve& measured, const Curve& model)
{
    return combineCurves(measured, model, [](double a, double b) { return std::optional<double>(a - b); });
}

Curve deviationsAt(const Curve& points, const Curve& deviations)
{
    return combineCurves(points, deviations, [](double, double sd) { return std::optional<double>(sd); });
}

Curve standardScores(const Curve& differences, const Curve& deviations)
{
    return combineCurves(differences, deviations, [](double difference, double sd) {
        return sd > 0 ? std::optional<double>(difference / sd) : std::nullopt;
    });
}

} // namespace charts
