#pragma once

#include <cstddef>
#include <string_view>

namespace vantrelo {

// Salary media files are always read as code page 950 (Big5), whatever the
// machine's own code page, so every machine gives the same code for a file.
//
// Only the length of each character matters for positions: a byte 0x81..0xFE
// followed by a byte 0x40..0x7E or 0xA1..0xFE is one double-byte character;
// every other byte is one character on its own (ASCII, or an undecodable byte
// 0x80..0xFF). A broken lead byte therefore never swallows the ASCII byte
// after it, and a carriage return always ends a line.

constexpr bool isCp950LeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

constexpr bool isCp950TrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
}

// Number of bytes (1 or 2) of the character that starts at `at` in `bytes`.
constexpr std::size_t cp950CharacterLength(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (isCp950LeadByte(lead) && at + 1 < bytes.size() &&
        isCp950TrailByte(static_cast<unsigned char>(bytes[at + 1]))) {
        return 2;
    }
    return 1;
}

}  // namespace vantrelo
