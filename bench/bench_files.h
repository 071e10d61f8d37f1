#pragma once

// Salary media files of the kinds the benchmarks measure, generated from a
// fixed seed, so that a file of a given kind and size is always the same.
//
//   records  realistic records of about 100 characters, "030" and "033" mixed,
//            each ending in CR LF
//   big5     the same records with a three-character Big5 name before the
//            fields
//   short    one record, then short lines of another type (CR LF)
//   lf       records whose lines end in LF alone: the whole file is one line
//   empty    one record, then empty lines (CR alone)
//
// The file is cut at a line end at or just below the size asked for (the lf
// and empty kinds exactly at it).

#include <cstdint>
#include <iterator>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>

namespace vantrelo::bench {

inline constexpr std::string_view FILE_KINDS[] = {"records", "big5", "short", "lf", "empty"};

namespace detail {

inline std::string digits(std::mt19937_64& random, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += static_cast<char>('0' + random() % 10);
    }
    return text;
}

// Some Big5 characters (common surnames and given-name characters).
inline constexpr std::string_view BIG5_NAMES[] = {"\xA7\x64", "\xA4\xFD", "\xB1\x69", "\xAA\x4C",
                                                  "\xB3\xAF", "\xAB\x4E", "\xAC\x66", "\xA4\xA4"};

// One record of 100 characters: type, branch, optional name, the fields at
// their character positions, an account number.
inline std::string record(std::mt19937_64& random, bool big5) {
    const bool type033 = random() % 2 == 1;
    std::string line = type033 ? "033" : "030";
    line += digits(random, 7);
    if (big5) {
        for (int i = 0; i < 3; ++i) {
            line += BIG5_NAMES[random() % std::size(BIG5_NAMES)];
        }
    }
    // The fields start at character 37 or 38; a Big5 character is one
    // character but two bytes.
    line.resize((type033 ? 37u : 36u) + (big5 ? 3u : 0u), ' ');
    for (const std::size_t part : {1u, 6u, 1u, 5u, 1u, 1u, 1u, 2u}) {
        line += digits(random, part);
    }
    line += digits(random, type033 ? 8 : 6);
    line += digits(random, 12);
    line.resize(100 + (big5 ? 3u : 0u), ' ');
    return line;
}

}  // namespace detail

// Writes `bytes` bytes (or just below) of a file of `kind`; false for an
// unknown kind.
inline bool writeBenchFile(std::ostream& out, std::string_view kind, std::uint64_t bytes) {
    std::mt19937_64 random(20261211);
    // A block of lines, repeated up to the size: generating every line afresh
    // would make the generator slower than what it measures.
    std::string head;
    std::string block;
    if (kind == "records" || kind == "big5") {
        for (int i = 0; i < 4096; ++i) {
            block += detail::record(random, kind == "big5") + "\r\n";
        }
    } else if (kind == "lf") {
        for (int i = 0; i < 4096; ++i) {
            block += detail::record(random, false) + "\n";
        }
    } else if (kind == "short" || kind == "empty") {
        // Probe digits 1, 1, 1, 1 and multiplier 100: every term is 1, so
        // even 2^31 - 1 lines do not overflow a sum.
        head = "030" + std::string(33, 'x') + "1xxxxxx1xxxxx1x1xx000100" + std::string(40, 'x') +
               "\r\n";
        if (kind == "empty") {
            block = std::string(4096, '\r');
        } else {
            constexpr std::string_view OTHER[] = {"999", "", "9", "TOTAL", "1234567", "X"};
            for (int i = 0; i < 8192; ++i) {
                block += std::string(OTHER[random() % std::size(OTHER)]) + "\r\n";
            }
        }
    } else {
        return false;
    }

    std::uint64_t written = 0;
    auto write = [&](std::string_view text) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        written += text.size();
    };
    write(std::string_view(head).substr(0, bytes));
    while (written + block.size() <= bytes) {
        write(block);
    }
    std::string_view rest = std::string_view(block).substr(0, bytes - written);
    if (kind != "lf" && kind != "empty") {
        rest = rest.substr(0, rest.find_last_of('\n') + 1);  // npos + 1 is 0
    }
    write(rest);
    return true;
}

}  // namespace vantrelo::bench
