// SHA-256, for the users file's token hashes and the audit trail's chain.
// Our own because the Windows build has no cryptographic library, and the
// two must agree byte for byte on either platform.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::serve {

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void add(std::string_view bytes);
    // The digest of everything added; the object is spent afterwards.
    Digest finish();

private:
    void compressBlock(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// The digest of `bytes` as 64 lowercase hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

} // namespace velmora::serve
