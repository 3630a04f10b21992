#pragma once

#include <type_traits>

// An enum class whose values are flags gets its bit operations from one line
// beside it, in its namespace:
//
//   enum class Access : uint32_t { kNone = 0, kRead = 1, kWrite = 2 };
//   ORV_FLAG_SET_OPERATORS(Access)
//
// and `Access::kRead | Access::kWrite`, `set & flags` and Base::HasFlags read
// as they would with plain numbers, while a number or another set's flag does
// not pass for one of its values.
#define ORV_FLAG_SET_OPERATORS(Set)                                           \
    constexpr Set operator|(Set a, Set b) {                                   \
        using Bits = std::underlying_type_t<Set>;                             \
        return static_cast<Set>(static_cast<Bits>(a) | static_cast<Bits>(b)); \
    }                                                                         \
    constexpr Set operator&(Set a, Set b) {                                   \
        using Bits = std::underlying_type_t<Set>;                             \
        return static_cast<Set>(static_cast<Bits>(a) & static_cast<Bits>(b)); \
    }

namespace Base {

// Whether `set` holds every flag of `flags`.
template <typename Set>
requires std::is_enum_v<Set>
constexpr bool HasFlags(Set set, Set flags) {
    using Bits = std::underlying_type_t<Set>;
    return (static_cast<Bits>(set) & static_cast<Bits>(flags)) == static_cast<Bits>(flags);
}

}  // namespace Base
