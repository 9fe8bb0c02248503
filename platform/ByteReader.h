#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

// Bounds-checked reading of binary file formats: every read names its offset and size and
// fails with MalformedData when any byte of it lies outside the data. The executable version
// readers rely on this, so a truncated or damaged file can never make them read astray.
namespace platform::detail {

class MalformedData : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Random access to the bytes of a file or of a buffer.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Copies count bytes at offset into out; false when they are not all there.
    virtual bool readAt(std::uint64_t offset, void* out, std::size_t count) const = 0;
};

enum class ByteOrder { LittleEndian, BigEndian };

class ByteReader {
public:
    explicit ByteReader(const ByteSource& source, ByteOrder order = ByteOrder::LittleEndian)
        : source_(source), order_(order) {}

    std::uint64_t size() const { return source_.size(); }
    ByteReader withOrder(ByteOrder order) const { return ByteReader(source_, order); }

    std::uint8_t u8(std::uint64_t offset) const { return static_cast<std::uint8_t>(read(offset, 1)); }
    std::uint16_t u16(std::uint64_t offset) const { return static_cast<std::uint16_t>(read(offset, 2)); }
    std::uint32_t u32(std::uint64_t offset) const { return static_cast<std::uint32_t>(read(offset, 4)); }
    std::uint64_t u64(std::uint64_t offset) const { return read(offset, 8); }
    std::string bytes(std::uint64_t offset, std::size_t count) const {
        std::string out(count, '\0');
        require(source_.readAt(offset, out.data(), count));
        return out;
    }

    static void require(bool condition) {
        if (!condition)
            throw MalformedData("malformed data");
    }
    // a + b, refusing to wrap around.
    static std::uint64_t add(std::uint64_t a, std::uint64_t b) {
        require(a <= UINT64_MAX - b);
        return a + b;
    }

private:
    std::uint64_t read(std::uint64_t offset, std::size_t count) const {
        unsigned char raw[8];
        require(source_.readAt(offset, raw, count));
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t index = order_ == ByteOrder::LittleEndian ? count - 1 - i : i;
            value = (value << 8) | raw[index];
        }
        return value;
    }

    const ByteSource& source_;
    ByteOrder order_;
};

} // namespace platform::detail
