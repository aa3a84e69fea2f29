#pragma once

#include <QtGlobal>

#include <absl/container/flat_hash_map.h>

#include <bit>
#include <cstring>
#include <string>
#include <string_view>

namespace measure {

// The running frequency of one word type.
struct TCardinal
{
    quint32 H = 0;
};

// Heterogeneous hashing, so a token view is looked up without building a string. Words are short: the hash
// takes four code units per multiplication and ends with a full avalanche, inline, without a library call.
struct TokenHash
{
    using is_transparent = void;
    size_t operator()(std::u16string_view token) const
    {
        constexpr quint64 multiplier = 0x9E3779B97F4A7C15ull;
        quint64 hash = token.size() * multiplier;
        const char16_t* unit = token.data();
        size_t left = token.size();
        for (; left >= 4; left -= 4, unit += 4) {
            quint64 word;
            std::memcpy(&word, unit, sizeof word);
            hash = std::rotl((hash ^ word) * multiplier, 29);
        }
        quint64 rest = 0;
        for (size_t i = 0; i < left; ++i)
            rest |= quint64(unit[i]) << (16 * i);
        hash = (hash ^ rest) * multiplier;
        hash ^= hash >> 33;
        hash *= 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 33;
        hash *= 0xC4CEB9FE1A85EC53ull;
        return size_t(hash ^ (hash >> 33));
    }
};

// Equality of code units, four at a time and inline: a library call per look-up costs more than most words.
struct TokenEqual
{
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const
    {
        if (a.size() != b.size())
            return false;
        size_t i = 0;
        for (; i + 4 <= a.size(); i += 4) {
            quint64 x;
            quint64 y;
            std::memcpy(&x, a.data() + i, sizeof x);
            std::memcpy(&y, b.data() + i, sizeof y);
            if (x != y)
                return false;
        }
        for (; i < a.size(); ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }
};

// The run's word dictionary: word type (UTF-16 code units, compared exactly) to its counter.
using Slovnik = absl::flat_hash_map<std::u16string, TCardinal, TokenHash, TokenEqual>;

} // namespace measure
