#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

namespace charts {

// The smallest and the largest of some values; empty until a value is included.
struct ValueSpan
{
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();

    bool isEmpty() const { return min > max; }
    void include(double y)
    {
        min = std::min(min, y);
        max = std::max(max, y);
    }
    void include(const ValueSpan& other)
    {
        min = std::min(min, other.min);
        max = std::max(max, other.max);
    }
};

// The points of a curve whose x lie on a grid: point i lies at x = (row(i) + 1) * step, as the rows of a curve
// file do (x = r * density) and the ranks of a rank-frequency plot (step 1). Only y is kept per point, as a float
// offset from a double base shared by a block of points: 4 bytes a point, yet a deep zoom into large values stays
// smooth. Blocks and a pyramid of their spans answer the smallest and largest y of any range of points in
// logarithmic time, so a redraw never has to walk millions of points.
class Curve
{
public:
    explicit Curve(quint64 step = 1)
        : m_step(step)
    {}

    quint64 step() const { return m_step; }
    size_t size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    // Appends the point of `row`, which must lie after the rows appended so far; the rows between get no point.
    void append(quint64 row, double y);
    // Appends the point of the row after the last one.
    void append(double y) { append(m_size == 0 ? m_firstRow : row(m_size - 1) + 1, y); }

    quint64 row(size_t index) const { return m_rows.empty() ? m_firstRow + index : m_rows[index]; }
    double x(size_t index) const { return double(row(index) + 1) * double(m_step); }
    double y(size_t index) const;
    // The first point whose x is at least `x`; size() when there is none.
    size_t indexAtOrAfter(double x) const;

    // The y of the points [first, last).
    ValueSpan span(size_t first, size_t last) const;
    const ValueSpan& span() const { return m_span; }
    // The smallest positive y, for logarithmic axes; infinity when there is none.
    double smallestPositive() const { return m_smallestPositive; }

private:
    static constexpr size_t blockPoints = 64;
    static constexpr size_t chunkBlocks = 1024;
    static constexpr size_t chunkPoints = blockPoints * chunkBlocks;

    // Points live in chunks of fixed size: a curve of millions of points grows without ever copying itself or
    // holding twice its size, and needs no guess of its length beforehand.
    struct OffsetSpan
    {
        float min;
        float max;
    };
    struct Chunk
    {
        std::vector<float> offsets;
        std::vector<double> bases;
        std::vector<OffsetSpan> blockSpans;
    };

    size_t indexOfRow(quint64 row) const;
    ValueSpan blockSpan(size_t block) const;
    void includePoints(ValueSpan& span, size_t first, size_t last) const;
    void finishBlock(size_t block);

    quint64 m_step;
    quint64 m_firstRow = 0;
    // Empty while the rows run on without a gap, which is how every curve file the program writes looks.
    std::vector<quint64> m_rows;
    size_t m_size = 0;
    std::vector<std::unique_ptr<Chunk>> m_chunks;
    // Level k holds the spans of 2^k consecutive blocks; level 0 lives in the chunks.
    std::vector<std::vector<ValueSpan>> m_levels;
    ValueSpan m_span;
    double m_smallestPositive = std::numeric_limits<double>::infinity();
};

// Measured minus model at every x that both curves have, in double before it is stored. Both curves lie on grids
// of x = (row + 1) * step, so the common x lie on the grid of the least common multiple of the steps.
Curve subtractCurves(const Curve& measured, const Curve& model);
// The deviations at the x of `points` that both curves have, so that index i of the result belongs to the point
// of the same x.
Curve deviationsAt(const Curve& points, const Curve& deviations);
// Each difference in standard deviations, at the x both curves have; a point whose deviation is 0 has none.
Curve standardScores(const Curve& differences, const Curve& deviations);

// How many standard deviations a band reaches on either side of its curve: beyond it a departure from random order
// is significant at the 5 % level.
constexpr double bandReach = 1.96;

} // namespace charts
