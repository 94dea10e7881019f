#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// SHA-256 of a stream of bytes, fed in pieces of any size. Small and without
// a library, so that the short-lived apply tool links nothing more. One
// object per stream; not shared between threads.
class Sha256 {
public:
    Sha256();

    void add(const void* data, std::size_t size);
    // The digest as 64 lowercase hexadecimal digits. Ends the stream.
    std::string hex();

    // The digest of one whole piece of bytes.
    static std::string of(const std::string& bytes);

private:
    void block(const std::uint8_t* data);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};
