#pragma once
// Shared helpers for the fuzz targets: a property check that stops the run
// with a message libFuzzer keeps next to the crash input, and a little-endian
// reader for the binary prefixes some targets take their parameters from.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace pelmora::fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "property failed: %s (%s:%d)\n", what, file, line);
    std::abort();
}

// Takes integers off the front of the input; missing bytes read as 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::int32_t Int32() {
        std::uint8_t bytes[4] = {0, 0, 0, 0};
        const std::size_t n = size_ < 4 ? size_ : 4;
        if (n > 0) {
            std::memcpy(bytes, data_, n);
        }
        data_ += n;
        size_ -= n;
        const std::uint32_t v =
            static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
            static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
        return static_cast<std::int32_t>(v);
    }

    std::string_view Rest() const { return {reinterpret_cast<const char*>(data_), size_}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace pelmora::fuzz

#define PELMORA_FUZZ_CHECK(cond)                                                                   \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            ::pelmora::fuzz::Fail(#cond, __FILE__, __LINE__);                                      \
        }                                                                                          \
    } while (false)
