#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <type_traits>

namespace dbc {

// A set over an enumeration with Count values: bit n stands for the value with ordinal n, as the
// engine's stored masks expect (for example the full compare-objects set is 0x7FFFFF).
template <class E, std::size_t Count>
class EnumSet {
    static_assert(std::is_enum_v<E>);
    static constexpr std::size_t Words = (Count + 63) / 64;

public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> values) {
        for (E value : values)
            Include(value);
    }

    static constexpr EnumSet Full() {
        EnumSet set;
        for (std::size_t i = 0; i < Count; ++i)
            set.bits_[i / 64] |= std::uint64_t{1} << (i % 64);
        return set;
    }
    // Only for sets of up to 64 values, whose masks are what gets stored and compared.
    static constexpr EnumSet FromMask(std::uint64_t mask) requires(Count <= 64) {
        EnumSet set;
        set.bits_[0] = mask & Full().bits_[0];
        return set;
    }
    constexpr std::uint64_t Mask() const requires(Count <= 64) { return bits_[0]; }

    constexpr bool Contains(E value) const {
        std::size_t i = Index(value);
        return (bits_[i / 64] >> (i % 64)) & 1;
    }
    constexpr EnumSet& Include(E value) {
        std::size_t i = Index(value);
        bits_[i / 64] |= std::uint64_t{1} << (i % 64);
        return *this;
    }
    constexpr EnumSet& Exclude(E value) {
        std::size_t i = Index(value);
        bits_[i / 64] &= ~(std::uint64_t{1} << (i % 64));
        return *this;
    }
    constexpr bool Empty() const {
        for (std::uint64_t w : bits_)
            if (w)
                return false;
        return true;
    }
    constexpr bool Intersects(const EnumSet& other) const { return !(*this & other).Empty(); }

    friend constexpr EnumSet operator|(EnumSet a, const EnumSet& b) {
        for (std::size_t i = 0; i < Words; ++i)
            a.bits_[i] |= b.bits_[i];
        return a;
    }
    friend constexpr EnumSet operator&(EnumSet a, const EnumSet& b) {
        for (std::size_t i = 0; i < Words; ++i)
            a.bits_[i] &= b.bits_[i];
        return a;
    }
    friend constexpr EnumSet operator-(EnumSet a, const EnumSet& b) {
        for (std::size_t i = 0; i < Words; ++i)
            a.bits_[i] &= ~b.bits_[i];
        return a;
    }
    constexpr EnumSet& operator|=(const EnumSet& b) { return *this = *this | b; }
    friend constexpr bool operator==(const EnumSet&, const EnumSet&) = default;

private:
    static constexpr std::size_t Index(E value) {
        auto i = static_cast<std::size_t>(value);
        if (i >= Count)
            throw std::out_of_range("enumeration value outside its set");
        return i;
    }
    std::array<std::uint64_t, Words> bits_{};
};

} // namespace dbc
