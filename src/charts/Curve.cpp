#include "Curve.h"

#include <cmath>
#include <numeric>

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
    if (within % blockPoints == 0) {
        chunk.bases.push_back(y);
        chunk.blockSpans.push_back({0, 0});
    }
    const float offset = float(y - chunk.bases.back());
    chunk.offsets.push_back(offset);
    OffsetSpan& block = chunk.blockSpans.back();
    block.min = std::min(block.min, offset);
    block.max = std::max(block.max, offset);

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

Curve subtractCurves(const Curve& measured, const Curve& model)
{
    const quint64 step = std::lcm(measured.step(), model.step());
    Curve difference(step);
    size_t i = 0;
    size_t j = 0;
    while (i < measured.size() && j < model.size()) {
        const quint64 measuredX = (measured.row(i) + 1) * measured.step();
        const quint64 modelX = (model.row(j) + 1) * model.step();
        if (measuredX == modelX) {
            // On a grid of step 0 every point lies at x 0; each pair still gets its own point.
            const quint64 row = step == 0 ? difference.size() : measuredX / step - 1;
            difference.append(row, measured.y(i) - model.y(j));
            ++i;
            ++j;
        } else if (measuredX > modelX) {
            ++j;
        } else {
            ++i;
        }
    }
    return difference;
}

} // namespace charts
