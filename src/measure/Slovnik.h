#pragma once

#include <QtGlobal>

#include <absl/container/flat_hash_map.h>
#include <absl/hash/hash.h>
#include <absl/strings/string_view.h>

#include <string>
#include <string_view>

namespace measure {

// The running frequency of one word type.
struct TCardinal
{
    quint32 H = 0;
};

// Heterogeneous hashing, so a token view is looked up without building a string.
struct TokenHash
{
    using is_transparent = void;
    size_t operator()(std::u16string_view token) const
    {
        return absl::Hash<absl::string_view>{}(
            absl::string_view(reinterpret_cast<const char*>(token.data()), token.size() * sizeof(char16_t)));
    }
};

struct TokenEqual
{
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const { return a == b; }
};

// The run's word dictionary: word type (UTF-16 code units, compared exactly) to its counter.
using Slovnik = absl::flat_hash_map<std::u16string, TCardinal, TokenHash, TokenEqual>;

} // namespace measure
