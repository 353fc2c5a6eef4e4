#include "backup/crc32.h"

#include <array>

namespace orv {
namespace {

constexpr std::array<std::uint32_t, 256> makeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kTable = makeTable();

}  // namespace

void Crc32::add(const char* bytes, std::size_t n) {
    std::uint32_t c = state_;
    for (std::size_t i = 0; i < n; ++i) c = kTable[(c ^ static_cast<unsigned char>(bytes[i])) & 0xFF] ^ (c >> 8);
    state_ = c;
}

}  // namespace orv
