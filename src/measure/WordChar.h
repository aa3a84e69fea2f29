#pragma once

#include <algorithm>
#include <array>

namespace measure {

namespace detail {

// Code units above this are never word characters.
inline constexpr char16_t lastWordCharCandidate = 0x07E4;

constexpr std::array<bool, lastWordCharCandidate + 2> makeWordCharTable()
{
    struct Range
    {
        char16_t first;
        char16_t last;
    };
    constexpr Range letters[] = {
        {0x0041, 0x005A}, {0x0061, 0x007A}, {0x008A, 0x008A}, {0x008C, 0x008C}, {0x008E, 0x008E}, {0x009A, 0x009A},
        {0x009C, 0x009C}, {0x009E, 0x009F}, {0x00C0, 0x02B8}, {0x037B, 0x037D}, {0x0384, 0x0481}, {0x0561, 0x0587},
        {0x05D0, 0x05EA}, {0x05F0, 0x05F1}, {0x0621, 0x065E}, {0x066E, 0x066F}, {0x0671, 0x0673}, {0x0675, 0x06D3},
        {0x06EE, 0x06EF}, {0x06FA, 0x06FF}, {0x070F, 0x072E}, {0x0750, 0x076D}, {0x0780, 0x07B1}, {0x07CA, 0x07E4},
    };
    constexpr char16_t holes[] = {0x00D7, 0x00F7, 0x01C0, 0x01C1, 0x01C2, 0x01C3, 0x0640};

    std::array<bool, lastWordCharCandidate + 2> table{};
    for (const Range range : letters) {
        for (char16_t c = range.first; c <= range.last; ++c)
            table[c] = true;
    }
    for (const char16_t c : holes)
        table[c] = false;
    return table;
}

inline constexpr std::array<bool, lastWordCharCandidate + 2> wordCharTable = makeWordCharTable();

} // namespace detail

// Whether the code unit belongs to a word in the standard and Arabic formats. Digits, apostrophes, hyphens,
// combining marks and everything above U+07E4 (surrogates included) separate words.
constexpr bool IsWordChar(char16_t c)
{
    // One table entry past the last candidate is false; clamping to it avoids a branch.
    return detail::wordCharTable[std::min<char16_t>(c, detail::lastWordCharCandidate + 1)];
}

} // namespace measure
