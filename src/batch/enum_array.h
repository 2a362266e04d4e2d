// Enums whose last member is Count, as the index of an array and as the
// range of a loop: the number of values is the enum's own, never kept by
// hand, and no value is reached by arithmetic on its neighbour.
#pragma once

#include <array>
#include <cstddef>

namespace velmora::batch {

template <typename Enum>
inline constexpr std::size_t kCountOf = static_cast<std::size_t>(Enum::Count);

// Every value before Count, in the order of the enum.
template <typename Enum> constexpr std::array<Enum, kCountOf<Enum>> everyValue() {
    std::array<Enum, kCountOf<Enum>> values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<Enum>(i);
    return values;
}

// One T for each value of Enum, reached by the value itself; Count, which
// names none, throws std::out_of_range.
template <typename Enum, typename T> class EnumArray {
public:
    T& operator[](Enum value) { return items_.at(static_cast<std::size_t>(value)); }
    const T& operator[](Enum value) const { return items_.at(static_cast<std::size_t>(value)); }

    // In the order of the enum.
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::array<T, kCountOf<Enum>> items_{};
};

} // namespace velmora::batch
