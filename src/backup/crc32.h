#pragma once
// CRC-32 as zip and PNG compute it (reflected polynomial 0xEDB88320): the checksum a backup set keeps of
// each piece, so that a damaged disk is found before its bytes reach a calendar.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orv {

class Crc32 {
public:
    void add(const char* bytes, std::size_t n);
    void add(std::string_view bytes) { add(bytes.data(), bytes.size()); }
    std::uint32_t value() const { return ~state_; }

private:
    std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace orv
