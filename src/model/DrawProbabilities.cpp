#include "DrawProbabilities.h"

#include <algorithm>
#include <cmath>

// Error bounds below count roundings of u = 2^-64 (glibc's long double log, log1p and exp are within 2 u).
// A probability is the 2 × 2 table of a draw: a = i drawn of the type, b = f − i not drawn, c = l − i other
// tokens drawn, d = N − f − l + i other tokens not drawn, P = C(a + b, a) C(c + d, c) / C(N, a + c), which is
// the same for the table transposed or with its rows or columns swapped.

namespace model {
namespace {

__extension__ typedef unsigned __int128 Wide;
__extension__ typedef __int128 SignedWide;

// Up to this many factors, a product is cheaper than a saddle-point evaluation and adds at most 2 u a factor.
constexpr quint64 productLimit = 40;

long double toLong(Wide value)
{
    return static_cast<long double>(value);
}

// ln(num / den) within 7 u of its value: near 1 from the exact difference, where the quotient would lose digits.
long double logRatio(Wide num, Wide den)
{
    const long double quotient = toLong(num) / toLong(den);
    if (quotient > 0.5L && quotient < 2.0L) {
        const long double difference = num >= den ? toLong(num - den) : -toLong(den - num);
        return std::log1p(difference / toLong(den));
    }
    return std::log(quotient);
}

// ln n! − (n + 1/2) ln n + n − ln √(2π), within 10^-21 of its value.
long double stirlingRemainder(quint64 n)
{
    static constexpr long double small[] = {
        8.106146679532725821967026e-02L, 4.134069595540929409382208e-02L, 2.767792568499833914878929e-02L,
        2.079067210376509311152277e-02L, 1.664469118982119216319487e-02L, 1.387612882307074799874573e-02L,
        1.189670994589177009505572e-02L, 1.041126526197209649747857e-02L, 9.255462182712732917728637e-03L,
        8.330563433362871256469319e-03L, 7.573675487951840794972024e-03L, 6.942840107209529865664153e-03L,
        6.408994188004207068439631e-03L, 5.951370112758847735624416e-03L, 5.554733551962801371038690e-03L,
        5.207655919609640440717997e-03L,
    };
    if (n <= std::size(small))
        return small[n - 1];
    const long double x = static_cast<long double>(n);
    const long double r = 1.0L / (x * x);
    // The asymptotic series; what it leaves out is below its next term, 0.18 / n^17 here and 1 / (1260 n^5)
    // beyond 10^5.
    if (n > 100000)
        return (1.0L / 12 - r / 360) / x;
    return (1.0L / 12 -
            r * (1.0L / 360 -
                 r * (1.0L / 1260 -
                      r * (1.0L / 1680 -
                           r * (1.0L / 1188 - r * (691.0L / 360360 - r * (1.0L / 156 - r * (3617.0L / 122400)))))))) /
           x;
}

constexpr long double logRootTwoPi = 9.189385332046727417803297e-01L;

// (1 + t) ln(1 + t) − t for t > −1, within 45 u. Beyond |t| = 1/2 the closed form loses at most a factor 11 to
// cancellation; below, with v = t / (2 + t) and ln(1 + t) = 2 artanh v, it is t v + 2 (1 + t) Σ v^(2j+1) / (2j + 1)
// from j = 1, whose terms shrink ninefold each and change the sum by a tenth at most.
long double deviance(long double t)
{
    if (std::fabs(t) > 0.5L)
        return (1 + t) * std::log1p(t) - t;
    const long double v = t / (2 + t);
    const long double square = v * v;
    long double power = 2 * (1 + t) * v;
    long double sum = t * v;
    for (int j = 1;; ++j) {
        power *= square;
        const long double term = power / (2 * j + 1);
        sum += term;
        if (std::fabs(term) <= sum * 0x1p-66L)
            return sum;
    }
}

// Π (m + d − k) / (b + c + d − k), k < m = min(b, c): the absence probability as at most productLimit factors.
// Numerator and denominator are formed apart (2 u a factor) and divided once.
long double absenceProduct(quint64 b, quint64 c, quint64 d)
{
    const quint64 m = std::min(b, c);
    const quint64 n = b + c + d;
    long double numerator = 1;
    long double denominator = 1;
    for (quint64 k = 0; k < m; ++k) {
        numerator *= static_cast<long double>(m + d - k);
        denominator *= static_cast<long double>(n - k);
    }
    return numerator / denominator;
}

// ln[C(c + d, c) / C(b + c + d, c)] for b, c above productLimit, from Stirling's formula for the four
// factorials that do not cancel, (c + d)! (b + d)! / (n! d!), with the large parts written as logarithms of
// ratios near 1. With t = bc / ((b + d)(c + d)) the exponent is b ln(1 − c/n) + c ln(1 − b/n) − (d + 1/2) ln(1 − t)
// plus the remainders. Its first two parts are at most −bc/n each and the third at most 1.5 bc/n, so the three
// together are below 7 |ln P| + 1.2 in size and, each within 8 u and added with 3 roundings, give ln P within
// (77 |ln P| + 15) u.
long double logAbsenceSaddle(quint64 b, quint64 c, quint64 d)
{
    const quint64 n = b + c + d;
    if (d == 0) {
        // 1 / C(b + c, c), the same way from b! c! / (b + c)!.
        return logRootTwoPi + logRatio(Wide(b) * c, n) / 2 + b * logRatio(b, n) + c * logRatio(c, n) +
               stirlingRemainder(b) + stirlingRemainder(c) - stirlingRemainder(n);
    }
    const long double remainders =
        stirlingRemainder(c + d) + stirlingRemainder(b + d) - stirlingRemainder(n) - stirlingRemainder(d);
    return b * logRatio(b + d, n) + c * logRatio(c + d, n) -
           (static_cast<long double>(d) + 0.5L) * logRatio(Wide(n) * d, Wide(b + d) * (c + d)) + remainders;
}

long double absenceFromCells(quint64 b, quint64 c, quint64 d)
{
    if (b == 0 || c == 0)
        return 1;
    if (std::min(b, c) <= productLimit)
        return absenceProduct(b, c, d);
    return std::exp(logAbsenceSaddle(b, c, d));
}

// ln P for a table whose cells are all at least 1: Stirling's formula for the nine factorials of
// f! (N − f)! l! (N − l)! / (N! a! b! c! d!), whose large parts are the deviances E φ(x/E − 1) of each cell x from
// its expectation E under independence (all four differ from it by ±(ad − bc)/N). The deviances are positive and
// each within 50 u; they add up to at most |ln P| + 2.5 ln N + 1, and the three logarithms of the rest are each
// below 2 ln N, which puts ln P within (53 |ln P| + 166 ln N + 65) u.
long double logTableSaddle(quint64 a, quint64 b, quint64 c, quint64 d)
{
    const quint64 n = a + b + c + d;
    const quint64 f = a + b;
    const quint64 g = c + d;
    const quint64 l = a + c;
    const quint64 h = b + d;
    const SignedWide cross = SignedWide(Wide(a) * d) - SignedWide(Wide(b) * c);
    const long double offset = static_cast<long double>(cross);
    const auto cellDeviance = [&](quint64 row, quint64 column, long double sign) {
        const Wide margins = Wide(row) * column;
        return toLong(margins) / static_cast<long double>(n) * deviance(sign * offset / toLong(margins));
    };
    const long double deviances =
        cellDeviance(f, l, 1) + cellDeviance(f, h, -1) + cellDeviance(g, l, -1) + cellDeviance(g, h, 1);
    // ½ ln(f g l h / (n a b c d)) = ½ [ln(n / bc) + ln(E_a / a) + ln(E_d / d)]
    const long double spread =
        (logRatio(n, Wide(b) * c) + logRatio(Wide(f) * l, Wide(a) * n) + logRatio(Wide(g) * h, Wide(d) * n)) / 2;
    const long double remainders = stirlingRemainder(f) + stirlingRemainder(g) + stirlingRemainder(l) +
                                   stirlingRemainder(h) - stirlingRemainder(n) - stirlingRemainder(a) -
                                   stirlingRemainder(b) - stirlingRemainder(c) - stirlingRemainder(d);
    return spread - logRootTwoPi - deviances + remainders;
}

} // namespace

long double absenceProbability(quint64 tokens, quint64 frequency, quint64 drawn)
{
    if (drawn > tokens - frequency)
        return 0;
    return absenceFromCells(frequency, drawn, tokens - frequency - drawn);
}

long double logBinomialCoefficient(quint64 n, quint64 k)
{
    const quint64 fewer = std::min(k, n - k);
    if (fewer <= productLimit) {
        long double product = 1;
        for (quint64 j = 0; j < fewer; ++j)
            product *= static_cast<long double>(n - j) / static_cast<long double>(j + 1);
        return std::log(product);
    }
    // Stirling's formula for the three factorials, the large parts as k ln(n/k) + (n − k) ln(n/(n − k)).
    const long double whole = static_cast<long double>(n);
    const long double part = static_cast<long double>(fewer);
    return part * std::log(whole / part) - (whole - part) * std::log1p(-part / whole) +
           std::log(whole / (part * (whole - part))) / 2 - logRootTwoPi + stirlingRemainder(n) -
           stirlingRemainder(fewer) - stirlingRemainder(n - fewer);
}

long double classProbability(quint64 tokens, quint64 frequency, quint64 drawn, quint64 count)
{
    if (count > frequency || count > drawn || drawn - count > tokens - frequency)
        return 0;
    quint64 a = count;
    quint64 b = frequency - count;
    quint64 c = drawn - count;
    quint64 d = tokens - frequency - c;
    // The smallest cell goes to a, by the table's symmetries.
    const quint64 smallest = std::min({a, b, c, d});
    if (smallest == b) {
        std::swap(a, b);
        std::swap(c, d);
    } else if (smallest == c) {
        std::swap(a, c);
        std::swap(b, d);
    } else if (smallest == d) {
        std::swap(a, d);
    }
    if (a == 0)
        return absenceFromCells(b, c, d);
    if (a > productLimit || std::min(b, c) > productLimit) {
        // Split into a product and a saddle-point part, each far from 1, the relative error would grow with their
        // logarithms; the whole table at once keeps it to that of ln P.
        return std::exp(logTableSaddle(a, b, c, d));
    }
    // P = C(a + b, a) (a + c)! / c! × (N − a)! / N! × [the absence probability of the rest]: the first part as a
    // factors within 4 u each, the rest as a product of at most productLimit factors.
    long double numerator = 1;
    long double denominator = 1;
    const quint64 n = a + b + c + d;
    for (quint64 k = 0; k < a; ++k) {
        numerator *= toLong(Wide(a + b - k) * (a + c - k));
        denominator *= toLong(Wide(k + 1) * (n - k));
    }
    return numerator / denominator * absenceProduct(b, c, d);
}

} // namespace model
